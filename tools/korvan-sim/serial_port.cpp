#include "tools/korvan-sim/serial_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "tools/korvan-sim/line_settings.h"

namespace korvansim {
namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void AskLowLatency(int fd) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        ioctl(fd, TIOCSSERIAL, &serial);
    }
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        UniqueFd old(fd_);
        fd_ = other.Release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

int UniqueFd::Release() {
    return std::exchange(fd_, -1);
}

Result<Port> OpenPseudoTerminal(std::uint32_t baud, const Framing& framing) {
    Port port;
    port.pseudoTerminal = true;
    port.fd = UniqueFd(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!port.fd.Valid()) {
        return Result<Port>::Fail(SystemError("cannot open a pseudo-terminal"));
    }
    std::array<char, 128> name{};
    if (grantpt(port.fd.Get()) != 0 || unlockpt(port.fd.Get()) != 0 ||
        ptsname_r(port.fd.Get(), name.data(), name.size()) != 0) {
        return Result<Port>::Fail(SystemError("cannot unlock the pseudo-terminal"));
    }
    port.path = name.data();
    port.keepAlive = UniqueFd(open(port.path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!port.keepAlive.Valid() || !SetLineSettings(port.keepAlive.Get(), baud, framing) ||
        fcntl(port.fd.Get(), F_SETFL, O_NONBLOCK) != 0) {
        return Result<Port>::Fail(SystemError("cannot set up " + port.path));
    }
    return Result<Port>::Ok(std::move(port));
}

Result<Port> OpenSerialPort(const std::string& path, std::uint32_t baud, const Framing& framing) {
    Port port;
    port.path = path;
    port.hardwarePaced = true;
    port.fd = UniqueFd(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!port.fd.Valid()) {
        return Result<Port>::Fail(SystemError("cannot open " + path));
    }
    // The line is ours alone: two programs interleaving telegrams on it would each
    // take the other's replies.
    if (flock(port.fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        return Result<Port>::Fail(path + " is in use by another program");
    }
    ioctl(port.fd.Get(), TIOCEXCL);
    if (!isatty(port.fd.Get()) || !SetLineSettings(port.fd.Get(), baud, framing)) {
        return Result<Port>::Fail(path + " is not a serial port that takes " + std::to_string(baud) + " " + FramingName(framing));
    }
    AskLowLatency(port.fd.Get());
    tcflush(port.fd.Get(), TCIOFLUSH);
    return Result<Port>::Ok(std::move(port));
}

}  // namespace korvansim
