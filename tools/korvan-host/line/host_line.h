// The serial line the host opens for its devices: a tty, a COM port on Windows, or a
// simulated VLT5000 on a pseudo-terminal; tapped for --trace. Each system's side is in
// host_line_posix.cpp or host_line_win.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "korvan/host_abi.h"
#include "tools/korvan-host/options.h"
#include "tools/korvan-host/line/telegram_log.h"
#include "tools/korvan-sim/framing.h"

namespace korvansim {
class Simulator;
}

namespace korvanhost {

class LineTap;

// What the replies on the line said that the driver does not pass on: why the drive
// refused a request, and each drive's main actual value. Noted by the tap's thread,
// read by the commands.
class LineWatch {
public:
    void Note(const ReplyNote& reply);
    // Why the drive refused a request since the last call; empty when it refused none.
    std::string TakeRefusal();
    // The main actual value (PCD2) of the last reply from `address`, if one came.
    std::optional<uint16_t> MainActual(uint8_t address) const;

private:
    mutable std::mutex mutex_;
    std::string refusal_;
    std::map<uint8_t, uint16_t> mainActual_;
};

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
    // What the replies said beyond what the driver passes on.
    LineWatch& Watch();

private:
    HostLine();
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// The tap of the line: it prints every telegram with --trace, and notes what the
// replies say in `watch`. `error` says why a line to be traced cannot be tapped;
// without --trace a line that cannot be tapped is only not watched (nullptr).
std::unique_ptr<LineTap> TapFor(const Options& options, KorvanPortHandle port, void* driverModule, LineWatch& watch,
                                std::string& error);

// The framing the options name, after checking it and the baud rate; nullopt with a
// one-line error.
std::optional<korvansim::Framing> LineSettings(const Options& options, std::string& error);

// Prints a line on standard output at once (trace lines may come from another thread).
void PrintLine(const std::string& line);

}  // namespace korvanhost
