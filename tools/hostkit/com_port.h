// A COM port opened as a host opens it for the driver on Windows: no sharing, no
// overlapped I/O, the whole DCB set for 9600 8E1 without flow control (8N1 where the
// port takes no parity bit, as a pseudo-terminal under Wine), reads that return at
// once with what is queued, each call's result checked.
#pragma once

#include <cstdint>
#include <string>

#include "korvan/host_abi.h"

namespace hostkit {

// The port named `name` ("COM5"), or nullptr when it cannot be opened.
KorvanPortHandle OpenComPort(const std::string& name);
// The whole DCB of an open port, whatever a previous program left in it: `baud`, 8
// data bits, `parity` ('N', 'E' or 'O'), `stopBits`, binary, no flow control of any
// kind (XON/XOFF would take 0x11 and 0x13 out of a telegram), 0x00 kept as data, and a
// line error that leaves the port working (the driver reads errors with
// ClearCommError). False when the port does not take it.
bool SetUpComPort(KorvanPortHandle port, uint32_t baud, char parity, uint8_t stopBits);
// Reads that return at once with what is queued (both read totals 0).
bool ReadsReturnAtOnce(KorvanPortHandle port);
void CloseComPort(KorvanPortHandle port);

}  // namespace hostkit
