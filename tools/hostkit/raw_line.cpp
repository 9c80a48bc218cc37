#include "tools/hostkit/raw_line.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <utility>

namespace hostkit {
namespace {

speed_t SpeedCode(uint32_t baud) {
    constexpr std::array<std::pair<uint32_t, speed_t>, 10> kCodes = {{{300, B300}, {600, B600}, {1200, B1200},
                                                                      {2400, B2400}, {4800, B4800}, {9600, B9600},
                                                                      {19200, B19200}, {38400, B38400},
                                                                      {57600, B57600}, {115200, B115200}}};
    for (const auto& [known, code] : kCodes) {
        if (known == baud) return code;
    }
    return B0;
}

void SetFraming(termios& settings, std::string_view framing) {
    const char parity = framing.size() > 1 ? framing[1] : 'N';
    if (parity == 'E' || parity == 'O') settings.c_cflag |= PARENB | (parity == 'O' ? PARODD : 0);
    if (framing.size() > 2 && framing[2] == '2') settings.c_cflag |= CSTOPB;
}

}  // namespace

int OpenRawLine(const std::string& path, uint32_t baud, std::string_view framing) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    if (const speed_t code = SpeedCode(baud); code != B0) {
        cfsetispeed(&settings, code);
        cfsetospeed(&settings, code);
        settings.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CSTOPB);
        SetFraming(settings, framing);
    }
    tcsetattr(fd, TCSANOW, &settings);
    return fd;
}

}  // namespace hostkit
