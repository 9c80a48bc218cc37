// The line on Windows: a COM port opened as the host ABI's Windows page says, with
// CreateFileW on \\.\COMn and no sharing (so a second program is refused), no
// overlapped I/O, the baud rate and framing through SetCommState, and reads that
// return at once with what is queued.
#include <cstdio>

#include "tools/hostkit/com_port.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-host/line/line_tap.h"
#include "tools/korvan-host/windows_system.h"

namespace korvanhost {
namespace {

// COM3 as the device path \\.\COM3 (which COM10 and above need); a path given as
// \\.\NAME stays as it is.
std::wstring DevicePath(const std::string& port) {
    return port.rfind("\\\\", 0) == 0 ? Wide(port) : L"\\\\.\\" + Wide(port);
}

// Baud rate and framing through the host kit's whole DCB, and reads that return at once.
bool SetUp(HANDLE port, uint32_t baud, const korvansim::Framing& framing) {
    const char parity = framing.parity == korvansim::Parity::Even ? 'E' : framing.parity == korvansim::Parity::Odd ? 'O' : 'N';
    return hostkit::SetUpComPort(port, baud, parity, framing.stopBits) && hostkit::ReadsReturnAtOnce(port);
}

}  // namespace

struct HostLine::Parts {
    UniqueHandle port;
    LineWatch watch;  // outlives the tap that notes into it
    std::unique_ptr<LineTap> tap;
};

HostLine::HostLine() : parts_(std::make_unique<Parts>()) {}

std::unique_ptr<HostLine> HostLine::Open(const Options& options, const std::vector<uint8_t>&, void* driverModule,
                                         std::string& error) {
    if (options.sim) {
        error = NoSimulatedDrive();
        return nullptr;
    }
    const auto framing = LineSettings(options, error);
    if (!framing) return nullptr;
    std::unique_ptr<HostLine> line(new HostLine());
    line->parts_->port = UniqueHandle(CreateFileW(DevicePath(options.port).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
    if (!line->parts_->port.Valid()) {
        const DWORD failure = GetLastError();
        error = failure == ERROR_ACCESS_DENIED || failure == ERROR_SHARING_VIOLATION
                    ? options.port + " is in use by another program"
                    : "cannot open " + options.port + ": " + SystemMessage(failure);
        return nullptr;
    }
    if (!SetUp(line->parts_->port.Get(), options.baud, *framing)) {
        error = "cannot set " + options.port + " to " + std::to_string(options.baud) + " baud " +
                korvansim::FramingName(*framing) + ": " + SystemMessage(GetLastError());
        // A port without a parity bit: under Wine a COM port may be a pseudo-terminal,
        // which refuses parity as it does on Linux, where the framing does not matter.
        const korvansim::Framing plain{8, korvansim::Parity::None, framing->stopBits};
        if (framing->parity == korvansim::Parity::None || !SetUp(line->parts_->port.Get(), options.baud, plain)) {
            return nullptr;
        }
        Printf(stderr, "korvan-host: warning: %s takes no parity bit (a pseudo-terminal?): opened as %s\n",
                     options.port.c_str(), korvansim::FramingName(plain).c_str());
        error.clear();
    }
    line->parts_->tap = TapFor(options, line->parts_->port.Get(), driverModule, line->parts_->watch, error);
    if (!error.empty()) return nullptr;
    return line;
}

HostLine::~HostLine() { parts_->tap.reset(); }

// An unplugged adapter answers no request on its handle any more.
bool HostLine::Gone() const {
    DCB settings{};
    settings.DCBlength = sizeof settings;
    return !GetCommState(parts_->port.Get(), &settings);
}

KorvanPortHandle HostLine::DriverHandle() const { return parts_->port.Get(); }

LineWatch& HostLine::Watch() { return parts_->watch; }

korvansim::Simulator* HostLine::Simulator() { return nullptr; }

}  // namespace korvanhost
