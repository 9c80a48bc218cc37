// Receive side of the line: finds telegrams in the byte stream. It hunts for STX, takes LGE
// and waits for LGE + 2 bytes; noise before STX is skipped, a telegram with a wrong BCC is
// given up from its next STX on, and a telegram that stalls is dropped.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace korvansim {

struct FramerEvent {
    enum class Kind : std::uint8_t {
        Telegram,   // `bytes` is a whole telegram with a good BCC
        Noise,      // bytes before an STX
        BadLength,  // an STX followed by an impossible LGE: the STX is dropped
        BadBcc,     // `frame` is the whole telegram, `bytes` the part given up
        Stalled,    // a partial telegram after a pause longer than the stall time
    };
    Kind kind = Kind::Telegram;
    std::vector<std::uint8_t> bytes;  // the bytes this event consumed
    std::vector<std::uint8_t> frame;  // BadBcc only
    std::int64_t firstNs = 0;         // arrival of the first and last byte (monotonic)
    std::int64_t lastNs = 0;
};

std::string_view FramerEventName(FramerEvent::Kind kind);

class TelegramFramer {
public:
    explicit TelegramFramer(std::int64_t stallNs) : stallNs_(stallNs) {}

    void Push(std::span<const std::uint8_t> bytes, std::int64_t nowNs, std::vector<FramerEvent>& events);
    // Drops a partial telegram whose last byte is older than the stall time.
    void Expire(std::int64_t nowNs, std::vector<FramerEvent>& events);
    // When Expire will drop what is buffered; nullopt when nothing is.
    std::optional<std::int64_t> StallDeadline() const;

private:
    void Extract(std::vector<FramerEvent>& events);
    void SkipNoise(std::vector<FramerEvent>& events);
    FramerEvent Take(FramerEvent::Kind kind, std::size_t count);

    std::int64_t stallNs_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::int64_t> arrivals_;
};

}  // namespace korvansim
