// Puts replies on the line at the pace of the configured baud rate and framing. A pty has
// no baud rate, so the pacer plays the real line: the reply starts after the request's own
// wire time plus the turnaround, and each byte is written when its stop bit would have
// left the drive. A real UART paces its own bytes; the pacer then only keeps the turnaround.
#pragma once

#include <atomic>
#include <cstdint>

#include "tools/korvan-sim/fault_injector.h"
#include "tools/korvan-sim/framing.h"

namespace korvansim {

struct PacingSettings {
    std::uint32_t baud = 9600;
    Framing framing;
    bool pacing = true;          // false: answer at once
    bool hardwarePaced = false;  // a real UART
    std::int64_t turnaroundNs = -1;  // -1: two character times
};

class WirePacer {
public:
    explicit WirePacer(const PacingSettings& settings);

    std::int64_t CharacterNs() const { return WireNs(1); }
    std::int64_t WireNs(std::uint64_t characters) const;
    // When the reply's first start bit goes out, for a request of `requestBytes` whose first
    // and last bytes arrived at `firstNs` and `lastNs` (monotonic).
    std::int64_t ReplyStartNs(std::size_t requestBytes, std::int64_t firstNs, std::int64_t lastNs) const;

    // Writes the transmission to `fd`, each byte at its deadline. False when writing failed
    // or `stop` was raised while waiting.
    bool Send(int fd, const Transmission& transmission, std::int64_t startNs, const std::atomic<bool>& stop) const;

private:
    std::int64_t DeadlineNs(const Transmission& transmission, std::int64_t startNs, std::size_t byte) const;

    PacingSettings settings_;
};

// Sleeps until the monotonic time `deadlineNs`, waking now and then to look at `stop`.
// False when stopped.
bool SleepUntil(std::int64_t deadlineNs, const std::atomic<bool>& stop);

}  // namespace korvansim
