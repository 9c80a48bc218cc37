// The serial line the host opens for its devices: a tty, a COM port on Windows, or a
// simulated VLT5000 on a pseudo-terminal; tapped for --trace. Each system's side is in
// host_line_posix.cpp or host_line_win.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
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

class LineTap;

// Why the drive refused the last request, noted by the tap's thread and taken by the
// command that made the request.
class RefusalNote {
public:
    void Note(const std::string& reason) {
        const std::lock_guard<std::mutex> lock(mutex_);
        reason_ = reason;
    }
    std::string Take() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(reason_, {});
    }

private:
    std::mutex mutex_;
    std::string reason_;
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
    // Why the drive refused a request since the last call (exec watches for it); empty
    // when it refused none.
    std::string TakeRefusal();

private:
    HostLine();
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// The tap the options ask for, or nullptr: --trace prints every telegram, and exec
// notes why the drive refuses a request in `refusals`. `error` says why the line
// cannot be tapped.
std::unique_ptr<LineTap> TapFor(const Options& options, KorvanPortHandle port, void* driverModule,
                                RefusalNote& refusals, std::string& error);

// The framing the options name, after checking it and the baud rate; nullopt with a
// one-line error.
std::optional<korvansim::Framing> LineSettings(const Options& options, std::string& error);

// Prints a line on standard output at once (trace lines may come from another thread).
void PrintLine(const std::string& line);

}  // namespace korvanhost
