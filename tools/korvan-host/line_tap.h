// Taps the serial line for --trace: the driver is given one end of a pseudo-terminal,
// and a thread relays its bytes to and from the real line, printing every telegram
// with a time stamp, its bytes and its decoded fields.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "tools/korvan-sim/serial_port.h"

namespace korvanhost {

class LineTap {
public:
    using Printer = std::function<void(const std::string&)>;

    // Relays between a new pty and `lineFd`; Valid() tells whether the pty could be made.
    // A request without a reply for `replyWaitMs` is marked as such.
    LineTap(int lineFd, Printer print, int64_t replyWaitMs = 200);
    ~LineTap();
    LineTap(const LineTap&) = delete;
    LineTap& operator=(const LineTap&) = delete;

    bool Valid() const { return driverEnd_.Valid(); }
    // The end the driver reads and writes.
    int DriverFd() const { return driverEnd_.Get(); }

private:
    void Relay();

    int lineFd_;
    Printer print_;
    int64_t replyWaitMs_;
    korvansim::UniqueFd tapEnd_;
    korvansim::UniqueFd driverEnd_;
    korvansim::UniqueFd stopRead_;
    korvansim::UniqueFd stopWrite_;
    std::thread thread_;
};

}  // namespace korvanhost
