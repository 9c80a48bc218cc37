// One collection step: the next read group with a wanted channel is read from the
// drive, and what the reply carries goes into the host's arrays (indexed by host
// channel: 0 the communication status, k the table's channel k-1).
#pragma once

#include <cstdint>

#include "korvan/host_abi.h"
#include "link/serial_transaction.h"

namespace korvan {

inline constexpr int32_t kCollectionFailed = -100;

// 0 when a channel was read or no group holds a wanted channel; -100 when the
// exchange failed. Groups are visited in turn, one exchange per call. A group whose
// exchange failed in a way that may pass (no reply, a damaged or wrong reply, a
// failed write) is visited again by the next call; after a refusal by the drive or a
// request that can never be sent, the rotation moves on as after success.
int32_t CollectNextGroup(DeviceInstance& device, SerialIo& io, const HostIntArray& wanted, HostDoubleArray& values,
                         HostStringArray& texts);
// One exchange for table index j: 0 on success, -100 on failure (the failure's
// number in values element 0).
int32_t ReadChannel(DeviceInstance& device, SerialIo& io, const HostIntArray& wanted, HostDoubleArray& values,
                    HostStringArray& texts, int32_t j);

}  // namespace korvan
