// Preparing a device for a run (its read groups) and releasing it afterwards.
#pragma once

#include "korvan/host_abi.h"

namespace korvan {

struct DeviceState;

// Partitions the parameter channels (table index 4 on) into maximal runs of readable
// channels that share one parameter data type; write-only channels inside a run are
// passed over. Stored as parallel lists of first and last table index.
void BuildReadGroups(DeviceState& state);
// Frees the device's state, when there is one, and clears the instance's pointer.
void ReleaseDeviceState(DeviceInstance& device);

}  // namespace korvan
