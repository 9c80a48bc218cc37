// A COM port opened as a host opens it for the driver on Windows: no sharing, no
// overlapped I/O, the whole DCB set for 9600 8E1 without flow control (8N1 where the
// port takes no parity bit, as a pseudo-terminal under Wine), reads that return at
// once with what is queued, each call's result checked.
#pragma once

#include <string>

#include "korvan/host_abi.h"

namespace hostkit {

// The port named `name` ("COM5"), or nullptr when it cannot be opened.
KorvanPortHandle OpenComPort(const std::string& name);
void CloseComPort(KorvanPortHandle port);

}  // namespace hostkit
