#include "tests/sim/pty_line.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>

namespace simtest {

PtyLine::PtyLine(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}

PtyLine::~PtyLine() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void PtyLine::Send(const std::vector<std::uint8_t>& bytes) const {
    [[maybe_unused]] const ssize_t written = write(fd_, bytes.data(), bytes.size());
}

std::vector<std::uint8_t> PtyLine::Receive(std::size_t count, std::chrono::milliseconds timeout) const {
    std::vector<std::uint8_t> bytes;
    const Clock::time_point deadline = Clock::now() + timeout;
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd fd{fd_, POLLIN, 0};
        if (left <= 0 || poll(&fd, 1, static_cast<int>(left)) <= 0) {
            break;
        }
        std::uint8_t buffer[256];  // never more than asked for: the rest stays for the next call
        const ssize_t got = read(fd_, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got > 0) {
            bytes.insert(bytes.end(), buffer, buffer + got);
        }
    }
    return bytes;
}

std::vector<std::uint8_t> PtyLine::Ask(const std::vector<std::uint8_t>& request, std::size_t count,
                                       std::chrono::milliseconds timeout) const {
    Send(request);
    return Receive(count, timeout);
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace simtest
