// The serial line the host opens for its devices: a tty, a COM port on Windows, or a
// simulated VLT5000 on a pseudo-terminal; tapped for --trace. Each system's side is in
// host_line_posix.cpp or host_line_win.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "korvan/host_abi.h"
#include "tools/korvan-host/options.h"
#include "tools/korvan-sim/framing.h"

namespace korvansim {
class Simulator;
}

namespace korvanhost {

class HostLine {
public:
    // Opens the line the options name; the simulated line answers `simAddresses`. With
    // --trace the tap records what `driverModule`, the loaded driver, sends and gets.
    static std::unique_ptr<HostLine> Open(const Options& options, const std::vector<uint8_t>& simAddresses,
                                          void* driverModule, std::string& error);
    ~HostLine();
    HostLine(const HostLine&) = delete;
    HostLine& operator=(const HostLine&) = delete;

    // The handle the driver is given in its DeviceInstance.
    KorvanPortHandle DriverHandle() const;
    // true once the line has hung up or failed (the drive's end closed, an adapter
    // unplugged): no exchange can succeed on it any more.
    bool Gone() const;
    // The simulated drive of --sim; nullptr on a real line.
    korvansim::Simulator* Simulator();

private:
    HostLine();
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// The framing the options name, after checking it and the baud rate; nullopt with a
// one-line error.
std::optional<korvansim::Framing> LineSettings(const Options& options, std::string& error);

// Prints a line on standard output at once (trace lines may come from another thread).
void PrintLine(const std::string& line);

}  // namespace korvanhost
