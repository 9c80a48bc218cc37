// The drive's end of the line: a new pseudo-terminal or a real serial port.
#pragma once

#include <cstdint>
#include <string>

#include "tools/korvan-sim/framing.h"
#include "tools/korvan-sim/result.h"

namespace korvansim {

// Owns a file descriptor.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release();

private:
    int fd_ = -1;
};

struct Port {
    UniqueFd fd;         // the end the drive reads and writes, non-blocking
    UniqueFd keepAlive;  // pty: the slave end, held open so the master never sees a hang-up
    std::string path;    // pty: the slave's path for the master (the driver) to open
    bool hardwarePaced = false;  // a real UART sends at the baud rate by itself
    bool pseudoTerminal = false; // no UART: the drive compares the host's settings with its own
};

// A new pseudo-terminal in raw mode, set to `baud` and `framing` (the drive's own) until
// the other end sets it.
Result<Port> OpenPseudoTerminal(std::uint32_t baud = 9600, const Framing& framing = Framing{});
// A serial port set to `baud` and `framing`, raw, with low latency where the driver has it.
Result<Port> OpenSerialPort(const std::string& path, std::uint32_t baud, const Framing& framing);

}  // namespace korvansim
