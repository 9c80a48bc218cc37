// What --trace prints: the bytes that pass each way on the line, framed into
// telegrams, each shown with a time stamp, its bytes and its decoded fields, and a
// request that went without a reply for the reply wait.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "tools/korvan-sim/telegram_framer.h"

namespace korvanhost {

class TelegramLog {
public:
    using Printer = std::function<void(const std::string&)>;
    enum class Way { ToDrive, FromDrive };

    // `print` (may be empty) gets every line; `refusals` (may be empty) why the drive
    // refused a request, for each refusal: "error 2, the value exceeds …".
    TelegramLog(Printer print, int64_t replyWaitMs, Printer refusals = {});

    // Bytes that went one way at `nowNs` (none: only time passed), shown as the
    // telegrams they complete or the fragments that stalled.
    void Pass(Way way, std::span<const uint8_t> bytes, int64_t nowNs);
    // Says so once when the last request has had no reply for the reply wait.
    void CheckReply(int64_t nowNs);
    // Shows whatever is left unfinished.
    void Finish(int64_t nowNs);

    // A monotonic clock in nanoseconds, the one the log's times count from.
    static int64_t NowNs();

private:
    struct Side {
        const char* arrow;
        korvansim::TelegramFramer framer;
    };
    void Show(const Side& side, const korvansim::FramerEvent& event);

    void Print(const std::string& line) const;

    Printer print_;
    Printer refusals_;
    int64_t replyWaitMs_;
    int64_t startNs_;
    Side toDrive_;
    Side fromDrive_;
    int64_t requestNs_ = -1;  // when the last request still waiting for its reply went out
};

}  // namespace korvanhost
