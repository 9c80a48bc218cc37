#include "tools/korvan-host/host_line.h"

#include <poll.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "tools/korvan-sim/framing.h"

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

void PrintLine(const std::string& line) {
    static std::mutex printing;
    std::lock_guard<std::mutex> lock(printing);
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::unique_ptr<HostLine> HostLine::Open(const Options& options, const std::vector<uint8_t>& simAddresses,
                                         std::string& error) {
    const auto framing = korvansim::ParseFraming(options.framing);
    if (!framing) {
        error = "unknown framing '" + options.framing + "' (8E1, 8N1, 8N2 or 8O1)";
        return nullptr;
    }
    if (!korvansim::IsSupportedBaud(options.baud)) {
        error = "baud rate " + std::to_string(options.baud) + " is not one the drive offers (see parameter 501)";
        return nullptr;
    }
    std::unique_ptr<HostLine> line(new HostLine());
    std::string path = options.port;
    if (options.sim) {
        korvansim::Options simulated;
        simulated.addresses = simAddresses;
        simulated.baud = options.baud;
        simulated.framing = *framing;
        line->simulator_ = std::make_unique<korvansim::Simulator>(simulated);
        path = line->simulator_->StartOnPty();
        if (path.empty()) {
            error = "cannot start the simulated drive: " + line->simulator_->Error();
            return nullptr;
        }
    }
    auto port = OpenLine(path, options.baud, *framing);
    if (!port) {
        error = port.Error();
        return nullptr;
    }
    line->port_ = std::move(port->fd);
    if (options.trace) {
        line->tap_ = std::make_unique<LineTap>(line->port_.Get(), PrintLine);
        if (!line->tap_->Valid()) {
            error = "cannot open a pseudo-terminal to tap the line";
            return nullptr;
        }
    }
    return line;
}

HostLine::~HostLine() {
    tap_.reset();
    if (simulator_) simulator_->Stop();
}

bool HostLine::Gone() const {
    pollfd watch{port_.Get(), POLLIN, 0};
    return poll(&watch, 1, 0) < 0 || (watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

int32_t HostLine::DriverHandle() const { return tap_ ? tap_->DriverFd() : port_.Get(); }

}  // namespace korvanhost
