// Linked into the comparison build of the driver ahead of the platform library, whose
// own definition is then not taken.
#include "platform/system/serial_wait_style.h"

namespace korvan::platform {

WaitStyle BuildWaitStyle() { return WaitStyle::PlainSleep; }

}  // namespace korvan::platform
