// The host's end of a serial line opened raw (8 data bits, no parity): how tests,
// the transcript and the benchmarks reach a simulated drive's pseudo-terminal.
#pragma once

#include <string>

namespace hostkit {

// A file descriptor the caller closes, or -1.
int OpenRawLine(const std::string& path);

}  // namespace hostkit
