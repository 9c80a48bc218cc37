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

// A reply that came from the drive: its address byte, its main actual value (PCD2)
// and, when it refuses its request, why ("error 2, the value exceeds …").
struct ReplyNote {
    uint8_t address = 0;
    uint16_t mainActual = 0;
    std::string refusal;
};

class TelegramLog {
public:
    using Printer = std::function<void(const std::string&)>;
    using ReplyWatcher = std::function<void(const ReplyNote&)>;
    enum class Way { ToDrive, FromDrive };

    // `print` (may be empty) gets every line, `replies` (may be empty) every reply.
    TelegramLog(Printer print, int64_t replyWaitMs, ReplyWatcher replies = {});

    // Bytes that went one way at `nowNs` (none: only time passed), shown as the
    // telegrams they complete or the fragments that stalled.
    void Pass(Way way, std::span<const uint8_t> bytes, int64_t nowNs);
    // Says so once when the last request has had no reply for the reply wait.
    void CheckReply(int64_t nowNs);
    // Shows whatever is left unfinished, a request still waiting for its reply too.
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
    // Says that the request that went out at `requestNs` had no reply by `untilNs`.
    void NoReply(int64_t requestNs, int64_t untilNs);

    Printer print_;
    ReplyWatcher replies_;
    int64_t replyWaitMs_;
    int64_t startNs_;
    Side toDrive_;
    Side fromDrive_;
    int64_t requestNs_ = -1;  // when the last request still waiting for its reply went out
};

}  // namespace korvanhost
