#include "tools/hostkit/raw_line.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace hostkit {

int OpenRawLine(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);
    return fd;
}

}  // namespace hostkit
