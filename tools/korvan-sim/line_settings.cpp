#include "tools/korvan-sim/line_settings.h"

#include <termios.h>

#include <array>

namespace korvansim {
namespace {

struct BaudCode {
    std::uint32_t baud;
    speed_t code;
};
constexpr std::array<BaudCode, 10> kBaudCodes = {{{300, B300}, {600, B600}, {1200, B1200}, {2400, B2400},
                                                  {4800, B4800}, {9600, B9600}, {19200, B19200}, {38400, B38400},
                                                  {57600, B57600}, {115200, B115200}}};

std::uint32_t BaudOf(speed_t code) {
    for (const BaudCode& known : kBaudCodes) {
        if (known.code == code) {
            return known.baud;
        }
    }
    return 0;
}

}  // namespace

bool SetLineSettings(int fd, std::uint32_t baud, const Framing& framing) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~static_cast<tcflag_t>(INPCK | IGNPAR);
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

std::optional<HostSettings> ReadHostSettings(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        return std::nullopt;
    }
    HostSettings host;
    host.baud = BaudOf(cfgetospeed(&settings));
    host.stopBits = (settings.c_cflag & CSTOPB) != 0 ? 2 : 1;
    host.oddParity = (settings.c_cflag & PARODD) != 0;
    return host;
}

bool DriveHears(const HostSettings& host, std::uint32_t baud, const Framing& framing) {
    return host.baud == baud && host.stopBits == framing.stopBits && host.oddParity == (framing.parity == Parity::Odd);
}

std::string DescribeHostSettings(const HostSettings& host) {
    const std::string speed = host.baud == 0 ? "an unknown speed" : std::to_string(host.baud) + " baud";
    return speed + ", " + std::to_string(host.stopBits) + (host.stopBits == 1 ? " stop bit, " : " stop bits, ") +
           (host.oddParity ? "odd parity" : "even or no parity");
}

}  // namespace korvansim
