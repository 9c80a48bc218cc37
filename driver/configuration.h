// A device's configuration in the host's archive: loaded once per life of its state,
// written back as a whole from byte 0.
#pragma once

#include "korvan/host_abi.h"

namespace korvan {

// Creates the device's state from the archive, or from defaults (address 1, wait
// time 200 ms, the four fixed channels; saved at once) when the archive is empty.
// Does nothing when the state already exists.
void LoadConfiguration(DeviceInstance& device);
// Writes settings, read groups, read mode bits and the channel table.
void SaveConfiguration(DeviceInstance& device);

}  // namespace korvan
