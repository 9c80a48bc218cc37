// How the wait between two polls of the serial port is made in this build: woken as
// soon as input arrives (the driver's own build), or a plain sleep of the whole poll
// interval, as on a port without input notification (a build for comparison only).
#pragma once

namespace korvan::platform {

enum class WaitStyle { WakeOnInput, PlainSleep };

// Defined once per build of the driver module.
WaitStyle BuildWaitStyle();

}  // namespace korvan::platform
