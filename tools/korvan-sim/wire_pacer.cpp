#include "tools/korvan-sim/wire_pacer.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <span>

#include "tools/korvan-sim/model_clock.h"

namespace korvansim {
namespace {

constexpr std::int64_t kStopCheckNs = 20000000;  // how often a long wait looks at the stop flag
constexpr std::int64_t kWriteRetryNs = 1000000;

// Writes all of `bytes` to a non-blocking descriptor, waiting while the other side's queue
// is full.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes, const std::atomic<bool>& stop) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(written));
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else if (!SleepUntil(MonotonicNs() + kWriteRetryNs, stop)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool SleepUntil(std::int64_t deadlineNs, const std::atomic<bool>& stop) {
    while (!stop.load()) {
        const std::int64_t now = MonotonicNs();
        if (now >= deadlineNs) {
            return true;
        }
        const timespec wake = ToTimespec(std::min(deadlineNs, now + kStopCheckNs));
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr);
    }
    return false;
}

WirePacer::WirePacer(const PacingSettings& settings) : settings_(settings) {
    if (settings_.turnaroundNs < 0) {
        settings_.turnaroundNs = WireNs(2);
    }
}

std::int64_t WirePacer::WireNs(std::uint64_t characters) const {
    return WireNanoseconds(settings_.baud, settings_.framing, characters);
}

std::int64_t WirePacer::ReplyStartNs(std::size_t requestBytes, std::int64_t firstNs, std::int64_t lastNs) const {
    if (!settings_.pacing) {
        return lastNs;
    }
    const std::int64_t requestEnd = settings_.hardwarePaced ? lastNs : std::max(firstNs + WireNs(requestBytes), lastNs);
    return requestEnd + settings_.turnaroundNs;
}

std::int64_t WirePacer::DeadlineNs(const Transmission& transmission, std::int64_t startNs, std::size_t byte) const {
    const auto gaps = static_cast<std::int64_t>(
        std::upper_bound(transmission.chunkStarts.begin(), transmission.chunkStarts.end(), byte) -
        transmission.chunkStarts.begin());
    const std::int64_t base = startNs + transmission.extraDelayNs + gaps * transmission.chunkGapNs;
    if (!settings_.pacing || settings_.hardwarePaced) {
        return base;
    }
    return base + WireNs(byte + 1);
}

bool WirePacer::Send(int fd, const Transmission& transmission, std::int64_t startNs, const std::atomic<bool>& stop) const {
    const std::span<const std::uint8_t> bytes(transmission.bytes);
    std::size_t next = 0;
    while (next < bytes.size()) {
        if (!SleepUntil(DeadlineNs(transmission, startNs, next), stop)) {
            return false;
        }
        const std::int64_t now = MonotonicNs();
        std::size_t end = next + 1;
        while (end < bytes.size() && DeadlineNs(transmission, startNs, end) <= now) {
            ++end;
        }
        if (!WriteAll(fd, bytes.subspan(next, end - next), stop)) {
            return false;
        }
        next = end;
    }
    return true;
}

}  // namespace korvansim
