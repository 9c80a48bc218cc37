// The master's end of the simulator's pseudo-terminal, as the driver's tests would use it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace simtest {

class PtyLine {
public:
    explicit PtyLine(const std::string& path);
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    bool Open() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Send(const std::vector<std::uint8_t>& bytes) const;
    // Gathers bytes until `count` have arrived or `timeout` has passed.
    std::vector<std::uint8_t> Receive(std::size_t count, std::chrono::milliseconds timeout) const;
    // Request and reply: Send, then Receive.
    std::vector<std::uint8_t> Ask(const std::vector<std::uint8_t>& request, std::size_t count,
                                  std::chrono::milliseconds timeout = std::chrono::milliseconds(1000)) const;

private:
    int fd_ = -1;
};

using Clock = std::chrono::steady_clock;
double MillisecondsSince(Clock::time_point start);

}  // namespace simtest
