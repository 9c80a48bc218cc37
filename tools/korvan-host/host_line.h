// The serial line the host opens for its devices: a tty, or a simulated VLT5000 on a
// pseudo-terminal; tapped for --trace.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/korvan-host/line_tap.h"
#include "tools/korvan-host/options.h"
#include "tools/korvan-sim/serial_port.h"
#include "tools/korvan-sim/simulator.h"

namespace korvanhost {

class HostLine {
public:
    // Opens the line the options name; the simulated line answers `simAddresses`.
    static std::unique_ptr<HostLine> Open(const Options& options, const std::vector<uint8_t>& simAddresses,
                                          std::string& error);
    ~HostLine();

    // The handle the driver is given in its DeviceInstance.
    int32_t DriverHandle() const;
    // true once the line has hung up or failed (the drive's end closed, an adapter
    // unplugged): no exchange can succeed on it any more.
    bool Gone() const;
    korvansim::Simulator* Simulator() { return simulator_.get(); }

private:
    HostLine() = default;

    std::unique_ptr<korvansim::Simulator> simulator_;
    korvansim::UniqueFd port_;
    std::unique_ptr<LineTap> tap_;
};

// Prints a line on standard output at once (trace lines come from another thread).
void PrintLine(const std::string& line);

}  // namespace korvanhost
