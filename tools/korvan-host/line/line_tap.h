// Taps the serial line for --trace and prints every telegram through a TelegramLog.
// Where the system has pseudo-terminals (line_tap_posix.cpp) the driver is given one
// end of a new one, and a thread relays its bytes to and from the real line, so the
// trace shows the line as it is. On Windows (line_tap_win.cpp) the driver keeps the
// COM port, and its calls on that port pass through the host, which records what the
// driver writes and what it reads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "korvan/host_abi.h"
#include "tools/korvan-host/line/telegram_log.h"

namespace korvanhost {

class LineTap {
public:
    // Taps `line`, the port the host opened, for the driver module `driverModule`. A
    // request without a reply for `replyWaitMs` is marked as such. `print` and
    // `replies` are the log's (either may be empty).
    LineTap(KorvanPortHandle line, void* driverModule, TelegramLog::Printer print, int64_t replyWaitMs = 200,
            TelegramLog::ReplyWatcher replies = {});
    ~LineTap();
    LineTap(const LineTap&) = delete;
    LineTap& operator=(const LineTap&) = delete;

    // Why the line could not be tapped; empty when it is.
    const std::string& Error() const;
    // The handle the driver is to use.
    KorvanPortHandle DriverHandle() const;

private:
    struct Tap;
    std::unique_ptr<Tap> tap_;
};

}  // namespace korvanhost
