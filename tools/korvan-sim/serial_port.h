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
};

// A new pseudo-terminal in raw mode.
Result<Port> OpenPseudoTerminal();
// A serial port set to `baud` and `framing`, raw, with low latency where the driver has it.
Result<Port> OpenSerialPort(const std::string& path, std::uint32_t baud, const Framing& framing);

// A symbolic link to the pty's path, removed again when destroyed.
class LinkGuard {
public:
    LinkGuard() = default;
    LinkGuard(LinkGuard&& other) noexcept;
    LinkGuard& operator=(LinkGuard&& other) noexcept;
    LinkGuard(const LinkGuard&) = delete;
    LinkGuard& operator=(const LinkGuard&) = delete;
    ~LinkGuard();

    // Replaces an existing symbolic link at `link`, refuses any other file.
    static Result<LinkGuard> Create(const std::string& link, const std::string& target);

private:
    void Remove();
    std::string link_;
};

}  // namespace korvansim
