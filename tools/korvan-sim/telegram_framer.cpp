#include "tools/korvan-sim/telegram_framer.h"

#include <algorithm>

#include "tools/korvan-sim/telegram_codec.h"

namespace korvansim {

std::string_view FramerEventName(FramerEvent::Kind kind) {
    switch (kind) {
    case FramerEvent::Kind::Telegram: return "telegram";
    case FramerEvent::Kind::Noise: return "noise";
    case FramerEvent::Kind::BadLength: return "bad LGE";
    case FramerEvent::Kind::BadBcc: return "bad BCC";
    case FramerEvent::Kind::Stalled: return "stalled";
    }
    return "?";
}

void TelegramFramer::Push(std::span<const std::uint8_t> bytes, std::int64_t nowNs, std::vector<FramerEvent>& events) {
    Expire(nowNs, events);
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    arrivals_.insert(arrivals_.end(), bytes.size(), nowNs);
    Extract(events);
}

void TelegramFramer::Expire(std::int64_t nowNs, std::vector<FramerEvent>& events) {
    const std::optional<std::int64_t> deadline = StallDeadline();
    if (deadline && nowNs >= *deadline) {
        events.push_back(Take(FramerEvent::Kind::Stalled, bytes_.size()));
    }
}

std::optional<std::int64_t> TelegramFramer::StallDeadline() const {
    if (arrivals_.empty()) {
        return std::nullopt;
    }
    return arrivals_.back() + stallNs_;
}

FramerEvent TelegramFramer::Take(FramerEvent::Kind kind, std::size_t count) {
    FramerEvent event;
    event.kind = kind;
    event.bytes.assign(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(count));
    event.firstNs = arrivals_.front();
    event.lastNs = arrivals_[count - 1];
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(count));
    arrivals_.erase(arrivals_.begin(), arrivals_.begin() + static_cast<std::ptrdiff_t>(count));
    return event;
}

void TelegramFramer::SkipNoise(std::vector<FramerEvent>& events) {
    const auto stx = std::find(bytes_.begin(), bytes_.end(), kStx);
    const auto count = static_cast<std::size_t>(stx - bytes_.begin());
    if (count != 0) {
        events.push_back(Take(FramerEvent::Kind::Noise, count));
    }
}

void TelegramFramer::Extract(std::vector<FramerEvent>& events) {
    while (true) {
        SkipNoise(events);
        if (bytes_.size() < 2) {
            return;
        }
        if (!IsPlausibleLength(bytes_[1])) {
            events.push_back(Take(FramerEvent::Kind::BadLength, 1));
            continue;
        }
        const std::size_t total = static_cast<std::size_t>(bytes_[1]) + 2;
        if (bytes_.size() < total) {
            return;
        }
        const std::span<const std::uint8_t> frame(bytes_.data(), total);
        if (BlockCheck(frame.first(total - 1)) == frame.back()) {
            events.push_back(Take(FramerEvent::Kind::Telegram, total));
            continue;
        }
        // Give the telegram up, but look again from the next STX inside it: a real telegram
        // may have started there after a stray STX.
        const auto next = std::find(bytes_.begin() + 1, bytes_.begin() + static_cast<std::ptrdiff_t>(total), kStx);
        std::vector<std::uint8_t> whole(frame.begin(), frame.end());
        events.push_back(Take(FramerEvent::Kind::BadBcc, static_cast<std::size_t>(next - bytes_.begin())));
        events.back().frame = std::move(whole);
    }
}

}  // namespace korvansim
