#include "platform/system/serial_wait_style.h"

namespace korvan::platform {

WaitStyle BuildWaitStyle() { return WaitStyle::WakeOnInput; }

}  // namespace korvan::platform
