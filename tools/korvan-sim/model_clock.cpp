#include "tools/korvan-sim/model_clock.h"

#include <mutex>

namespace korvansim {
namespace {

class RealClock final : public ModelClock {
public:
    std::int64_t NowUs() const override { return (MonotonicNs() - startNs_) / 1000; }
    void OnTelegram() override {}

private:
    std::int64_t startNs_ = MonotonicNs();
};

class SteppedClock final : public ModelClock {
public:
    explicit SteppedClock(std::int64_t stepUs) : stepUs_(stepUs) {}
    std::int64_t NowUs() const override {
        const std::lock_guard lock(mutex_);
        return nowUs_;
    }
    void OnTelegram() override {
        const std::lock_guard lock(mutex_);
        nowUs_ += stepUs_;
    }

private:
    // A lock, not a 64-bit atomic: 32-bit ARM has no lock-free 64-bit atomics.
    mutable std::mutex mutex_;
    std::int64_t stepUs_;
    std::int64_t nowUs_ = 0;
};

}  // namespace

std::int64_t MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

timespec ToTimespec(std::int64_t ns) {
    timespec time{};
    time.tv_sec = static_cast<time_t>(ns / 1000000000);
    time.tv_nsec = static_cast<long>(ns % 1000000000);
    return time;
}

std::unique_ptr<ModelClock> MakeRealClock() {
    return std::make_unique<RealClock>();
}

std::unique_ptr<ModelClock> MakeSteppedClock(std::int64_t stepUs) {
    return std::make_unique<SteppedClock>(stepUs);
}

}  // namespace korvansim
