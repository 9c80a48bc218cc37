// One collection step: the next read group with a wanted channel is read from the
// drive, and what the reply carries goes into the host's arrays.
#pragma once

#include <cstdint>

#include "korvan/host_abi.h"

namespace korvan {

// 0 when a channel was read or no group holds a wanted channel; -100 when the
// exchange failed.
int32_t CollectNextGroup(DeviceInstance& device, const HostIntArray& wanted, HostDoubleArray& values,
                         HostStringArray& texts);

}  // namespace korvan
