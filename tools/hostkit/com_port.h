// A COM port opened as a host opens it for the driver on Windows: no sharing, no
// overlapped I/O, 9600 8E1, reads that return at once with what is queued.
#pragma once

#include <string>

#include "korvan/host_abi.h"

namespace hostkit {

// The port named `name` ("COM5"), or nullptr when it cannot be opened.
KorvanPortHandle OpenComPort(const std::string& name);
void CloseComPort(KorvanPortHandle port);

}  // namespace hostkit
