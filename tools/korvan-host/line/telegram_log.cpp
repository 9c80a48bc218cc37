#include "tools/korvan-host/line/telegram_log.h"

#include <chrono>
#include <limits>
#include <vector>

#include "tools/korvan-sim/telegram_codec.h"
#include "tools/korvan-sim/trace_format.h"

namespace korvanhost {
namespace {

constexpr int64_t kStallNs = 50'000'000;
constexpr uint8_t kAkRefused = 7;
constexpr uint8_t kAkNoChangeRight = 8;

// What the error number of a refusal (AK 7) means, as the drive's manual words it.
std::string RefusalMeaning(uint32_t error) {
    namespace r = korvansim::refusal;
    switch (error) {
        case r::kUnknownParameter: return "the parameter does not exist";
        case r::kNoWriteAccess: return "no write access to the parameter";
        case r::kExceedsLimits: return "the value exceeds the parameter's limits";
        case r::kNoSuchIndex: return "the index does not exist";
        case r::kNotAnArray: return "the parameter is not an array";
        case r::kWrongDataType: return "the data type does not match the parameter";
        case r::kNotInPresentMode: return "cannot be changed in the drive's present mode (motor running?)";
        case r::kNoBusAccess: return "no bus access to the parameter";
        case 131: return "factory setup selected: no change possible";
        default: return "error " + std::to_string(error);
    }
}

// Why a reply refuses its request, or empty for a reply that does not.
std::string RefusalReason(const korvansim::Telegram& telegram) {
    if (telegram.kind == korvansim::TelegramKind::Process) return "";
    if (telegram.ak == kAkRefused) {
        return "error " + std::to_string(telegram.value & 0xFFFF) + ", " + RefusalMeaning(telegram.value & 0xFFFF);
    }
    if (telegram.ak == kAkNoChangeRight) return "AK 8: no right to change parameters";
    return "";
}

ReplyNote NoteOf(const korvansim::FramerEvent& event) {
    const korvansim::Telegram telegram = korvansim::DecodeTelegram(event.bytes).telegram;
    return {telegram.address, telegram.pcd2, RefusalReason(telegram)};
}

std::string Describe(const korvansim::FramerEvent& event) {
    using Kind = korvansim::FramerEvent::Kind;
    if (event.kind == Kind::Telegram) {
        const korvansim::Telegram telegram = korvansim::DecodeTelegram(event.bytes).telegram;
        std::string text = korvansim::DescribeTelegram(telegram, true);
        if (telegram.kind != korvansim::TelegramKind::Process && telegram.ak == kAkRefused) {
            text += "  refused: " + RefusalMeaning(telegram.value & 0xFFFF);
        }
        return text;
    }
    if (event.kind == Kind::BadBcc) {
        return korvansim::DescribeTelegram(korvansim::DecodeTelegram(event.frame).telegram, false);
    }
    return std::string(korvansim::FramerEventName(event.kind));
}

}  // namespace

int64_t TelegramLog::NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

TelegramLog::TelegramLog(Printer print, int64_t replyWaitMs, ReplyWatcher replies)
    : print_(std::move(print)), replies_(std::move(replies)), replyWaitMs_(replyWaitMs), startNs_(NowNs()),
      toDrive_{"->", korvansim::TelegramFramer(kStallNs)}, fromDrive_{"<-", korvansim::TelegramFramer(kStallNs)} {}

void TelegramLog::Print(const std::string& line) const {
    if (print_) print_(line);
}

void TelegramLog::Show(const Side& side, const korvansim::FramerEvent& event) {
    if (replies_ && &side == &fromDrive_ && event.kind == korvansim::FramerEvent::Kind::Telegram) {
        replies_(NoteOf(event));
    }
    if (!print_) return;
    print_(korvansim::FormatTime((event.lastNs - startNs_) / 1000) + " " + side.arrow + " " +
           korvansim::HexBytes(event.bytes) + "  | " + Describe(event));
}

void TelegramLog::Pass(Way way, std::span<const uint8_t> bytes, int64_t nowNs) {
    Side& side = way == Way::ToDrive ? toDrive_ : fromDrive_;
    std::vector<korvansim::FramerEvent> events;
    if (!bytes.empty()) side.framer.Push(bytes, nowNs, events);
    side.framer.Expire(nowNs, events);
    for (const auto& event : events) {
        const bool telegram = event.kind == korvansim::FramerEvent::Kind::Telegram;
        if (way == Way::ToDrive && telegram) {
            // A request still waiting when the next goes out had no reply: said so
            // first, with how long it waited.
            if (requestNs_ >= 0) NoReply(requestNs_, event.firstNs);
            // Each request starts the reply afresh: what is left of an earlier reply
            // is shown as it is, and never joins the next one.
            std::vector<korvansim::FramerEvent> leftovers;
            fromDrive_.framer.Expire(std::numeric_limits<int64_t>::max(), leftovers);
            for (const auto& leftover : leftovers) Show(fromDrive_, leftover);
            fromDrive_.framer = korvansim::TelegramFramer(kStallNs);
            requestNs_ = event.lastNs;
        }
        if (way == Way::FromDrive) requestNs_ = -1;
        Show(side, event);
    }
}

void TelegramLog::CheckReply(int64_t nowNs) {
    if (requestNs_ >= 0 && nowNs - requestNs_ > replyWaitMs_ * 1'000'000) NoReply(requestNs_, requestNs_ + replyWaitMs_ * 1'000'000);
}

void TelegramLog::NoReply(int64_t requestNs, int64_t untilNs) {
    Print(korvansim::FormatTime((untilNs - startNs_) / 1000) + " -- no reply in " +
          std::to_string((untilNs - requestNs) / 1'000'000) + " ms");
    requestNs_ = -1;
}

void TelegramLog::Finish(int64_t nowNs) {
    for (Side* side : {&toDrive_, &fromDrive_}) {
        std::vector<korvansim::FramerEvent> leftovers;
        side->framer.Expire(std::numeric_limits<int64_t>::max(), leftovers);
        for (const auto& leftover : leftovers) Show(*side, leftover);
    }
    if (requestNs_ >= 0) NoReply(requestNs_, nowNs);  // the line closes on a request still waiting
}

}  // namespace korvanhost
