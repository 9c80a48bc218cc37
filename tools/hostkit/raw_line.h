// The host's end of a serial line opened raw: how tests, the transcript and the
// benchmarks reach a simulated drive's pseudo-terminal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hostkit {

// A file descriptor the caller closes, or -1. Without a baud rate the line keeps the
// speed it has, 8 data bits and no parity; with one (300 … 115200) it takes that speed
// and the framing ("8E1", "8N1", "8N2", "8O1"), as a host sets up a real port.
int OpenRawLine(const std::string& path, uint32_t baud = 0, std::string_view framing = "8N1");

}  // namespace hostkit
