// The settings of a tty line: set raw with a baud rate and framing, and, on the drive's
// end of a pseudo-terminal, read back what the host set on its end.
//
// A real drive's UART hears a host at another speed or framing as garbage and answers
// nothing. A pseudo-terminal passes bytes whatever their settings, so the simulated drive
// looks at the host's settings itself: the master reads the slave's termios. Linux keeps a
// pseudo-terminal at 8 data bits without parity whatever the host asks (it clears PARENB
// and CSIZE), so what a host shows there is its speed, its stop bits and whether it asked
// for odd parity (PARODD stays): a host at even parity and one without parity look alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/korvan-sim/framing.h"

namespace korvansim {

// Raw mode, 8 data bits, the framing's parity and stop bits, `baud`, no flow control.
bool SetLineSettings(int fd, std::uint32_t baud, const Framing& framing);

// What the host's end of a pseudo-terminal shows.
struct HostSettings {
    std::uint32_t baud = 0;  // 0: a speed korvan-sim does not know
    std::uint8_t stopBits = 1;
    bool oddParity = false;
};

// The settings of the line `fd` belongs to (on a pty's master: the slave's); nullopt when
// they cannot be read.
std::optional<HostSettings> ReadHostSettings(int fd);
// Whether a drive at `baud` and `framing` hears a host with these settings.
bool DriveHears(const HostSettings& host, std::uint32_t baud, const Framing& framing);
// "4800 baud, 1 stop bit, even or no parity"
std::string DescribeHostSettings(const HostSettings& host);

}  // namespace korvansim
