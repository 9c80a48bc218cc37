// Device commands: "ZELK_WRITE", "READ" and "WRITE" texts given through SvrDevIOCtrl.
#pragma once

#include <cstdint>
#include <string_view>

#include "korvan/host_abi.h"

namespace korvan {

// The result code of the first command in the text; later commands run first.
int32_t ExecuteCommandText(DeviceInstance& device, std::u16string_view text, HostDoubleArray& results);

}  // namespace korvan
