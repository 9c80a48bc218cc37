#include "tools/korvan-sim/serial_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace korvansim {
namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

struct BaudCode {
    std::uint32_t baud;
    speed_t code;
};
constexpr std::array<BaudCode, 10> kBaudCodes = {{{300, B300}, {600, B600}, {1200, B1200}, {2400, B2400},
                                                  {4800, B4800}, {9600, B9600}, {19200, B19200}, {38400, B38400},
                                                  {57600, B57600}, {115200, B115200}}};

bool MakeRaw(int fd, std::uint32_t baud, const Framing& framing) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    if (framing.parity != Parity::None) {
        // A byte with a parity error is dropped, so its telegram stalls and is discarded.
        settings.c_cflag |= PARENB | (framing.parity == Parity::Odd ? PARODD : 0);
        settings.c_iflag |= INPCK | IGNPAR;
    }
    if (framing.stopBits == 2) {
        settings.c_cflag |= CSTOPB;
    }
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    for (const BaudCode& known : kBaudCodes) {
        if (known.baud == baud) {
            cfsetispeed(&settings, known.code);
            cfsetospeed(&settings, known.code);
        }
    }
    return tcsetattr(fd, TCSANOW, &settings) == 0;
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

Result<Port> OpenPseudoTerminal() {
    Port port;
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
    if (!port.keepAlive.Valid() || !MakeRaw(port.keepAlive.Get(), 9600, Framing{}) ||
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
    if (!isatty(port.fd.Get()) || !MakeRaw(port.fd.Get(), baud, framing)) {
        return Result<Port>::Fail(path + " is not a serial port that takes " + std::to_string(baud) + " " + FramingName(framing));
    }
    AskLowLatency(port.fd.Get());
    tcflush(port.fd.Get(), TCIOFLUSH);
    return Result<Port>::Ok(std::move(port));
}

LinkGuard::LinkGuard(LinkGuard&& other) noexcept : link_(std::exchange(other.link_, {})) {}

LinkGuard& LinkGuard::operator=(LinkGuard&& other) noexcept {
    if (this != &other) {
        Remove();
        link_ = std::exchange(other.link_, {});
    }
    return *this;
}

LinkGuard::~LinkGuard() {
    Remove();
}

void LinkGuard::Remove() {
    if (!link_.empty()) {
        unlink(link_.c_str());
        link_.clear();
    }
}

Result<LinkGuard> LinkGuard::Create(const std::string& link, const std::string& target) {
    struct stat existing {};
    if (lstat(link.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            return Result<LinkGuard>::Fail(link + " exists and is not a symbolic link");
        }
        // A link whose terminal still exists belongs to a simulator that is running.
        struct stat target {};
        if (stat(link.c_str(), &target) == 0 && S_ISCHR(target.st_mode)) {
            return Result<LinkGuard>::Fail(link + " is the link of a running simulated drive");
        }
        unlink(link.c_str());
    }
    if (symlink(target.c_str(), link.c_str()) != 0) {
        return Result<LinkGuard>::Fail(SystemError("cannot create the link " + link));
    }
    LinkGuard guard;
    guard.link_ = link;
    return Result<LinkGuard>::Ok(std::move(guard));
}

}  // namespace korvansim
