#include "runtime/device_commands.h"

namespace korvan {

int32_t ExecuteCommandText(DeviceInstance&, std::u16string_view, HostDoubleArray&) {
    return 0;  // no drive link yet
}

}  // namespace korvan
