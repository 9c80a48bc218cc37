// The line on a POSIX system: a tty opened raw, or the pty of a simulated drive.
#include <poll.h>

#include <climits>
#include <cstdlib>

#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/line/line_tap.h"
#include "tools/korvan-sim/serial_port.h"
#include "tools/korvan-sim/simulator.h"

namespace korvanhost {
namespace {

bool IsPseudoTerminal(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr && std::string(resolved).rfind("/dev/pts/", 0) == 0;
}

// A pseudo-terminal has no parity to set (some kernels refuse it): the framing only
// matters on a real line, so a pty is opened with 8 data bits and no parity.
korvansim::Result<korvansim::Port> OpenLine(const std::string& path, uint32_t baud, const korvansim::Framing& framing) {
    auto port = korvansim::OpenSerialPort(path, baud, framing);
    if (!port && IsPseudoTerminal(path)) port = korvansim::OpenSerialPort(path, baud, korvansim::Framing{8, korvansim::Parity::None, 1});
    return port;
}

}  // namespace

struct HostLine::Parts {
    std::unique_ptr<korvansim::Simulator> simulator;
    korvansim::UniqueFd port;
    LineWatch watch;  // outlives the tap that notes into it
    std::unique_ptr<LineTap> tap;
};

HostLine::HostLine() : parts_(std::make_unique<Parts>()) {}

std::unique_ptr<HostLine> HostLine::Open(const Options& options, const std::vector<uint8_t>& simAddresses,
                                         void* driverModule, std::string& error) {
    const auto framing = LineSettings(options, error);
    if (!framing) return nullptr;
    std::unique_ptr<HostLine> line(new HostLine());
    std::string path = options.port;
    if (options.sim) {
        korvansim::Options simulated;
        simulated.addresses = simAddresses;
        simulated.baud = options.baud;
        simulated.framing = *framing;
        line->parts_->simulator = std::make_unique<korvansim::Simulator>(simulated);
        path = line->parts_->simulator->StartOnPty();
        if (path.empty()) {
            error = "cannot start the simulated drive: " + line->parts_->simulator->Error();
            return nullptr;
        }
    }
    auto port = OpenLine(path, options.baud, *framing);
    if (!port) {
        error = port.Error();
        return nullptr;
    }
    line->parts_->port = std::move(port->fd);
    line->parts_->tap = TapFor(options, line->parts_->port.Get(), driverModule, line->parts_->watch, error);
    if (!error.empty()) return nullptr;
    return line;
}

HostLine::~HostLine() {
    parts_->tap.reset();
    if (parts_->simulator) parts_->simulator->Stop();
}

bool HostLine::Gone() const {
    pollfd watch{parts_->port.Get(), POLLIN, 0};
    return poll(&watch, 1, 0) < 0 || (watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

KorvanPortHandle HostLine::DriverHandle() const {
    return parts_->tap ? parts_->tap->DriverHandle() : parts_->port.Get();
}

LineWatch& HostLine::Watch() { return parts_->watch; }

korvansim::Simulator* HostLine::Simulator() { return parts_->simulator.get(); }

}  // namespace korvanhost
