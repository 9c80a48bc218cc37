#include "tools/korvan-sim/fault_injector.h"

#include <algorithm>
#include <utility>

namespace korvansim {
namespace {

constexpr std::array<std::string_view, kFaultKindCount> kNames = {
    "none", "drop", "corrupt-bcc", "late", "split", "noise", "wrong-pnu", "refuse", "bitflip"};

std::size_t Slot(FaultKind kind) {
    return static_cast<std::size_t>(kind);
}

bool NeedsParameterChannel(FaultKind kind) {
    return kind == FaultKind::WrongPnu || kind == FaultKind::Refuse;
}

}  // namespace

std::string_view FaultName(FaultKind kind) {
    return Slot(kind) < kNames.size() ? kNames[Slot(kind)] : "?";
}

std::optional<FaultKind> ParseFaultName(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] == name) {
            return static_cast<FaultKind>(i);
        }
    }
    return std::nullopt;
}

void FaultInjector::Reseed(std::uint32_t seed) {
    const std::lock_guard lock(mutex_);
    rng_.seed(seed);
}

void FaultInjector::SetRate(FaultKind kind, double probability) {
    const std::lock_guard lock(mutex_);
    const double clamped = std::clamp(probability, 0.0, 1.0);
    thresholds_[Slot(kind)] = static_cast<std::uint64_t>(clamped * 4294967296.0);
}

void FaultInjector::SetSettings(const FaultSettings& settings) {
    const std::lock_guard lock(mutex_);
    settings_ = settings;
}

FaultSettings FaultInjector::Settings() const {
    const std::lock_guard lock(mutex_);
    return settings_;
}

void FaultInjector::Script(const std::vector<FaultKind>& sequence) {
    const std::lock_guard lock(mutex_);
    script_.insert(script_.end(), sequence.begin(), sequence.end());
}

std::uint64_t FaultInjector::Count(FaultKind kind) const {
    const std::lock_guard lock(mutex_);
    return counts_[Slot(kind)];
}

void FaultInjector::ResetCounts() {
    const std::lock_guard lock(mutex_);
    counts_.fill(0);
}

FaultKind FaultInjector::Choose(bool parameterReply) {
    const std::lock_guard lock(mutex_);
    FaultKind kind = FaultKind::None;
    if (!script_.empty()) {
        kind = script_.front();
        script_.pop_front();
    } else {
        kind = FromRates(parameterReply);
    }
    if (kind == FaultKind::None || (NeedsParameterChannel(kind) && !parameterReply)) {
        return FaultKind::None;
    }
    ++counts_[Slot(kind)];
    return kind;
}

// Kinds are tried in order; the first hit wins.
FaultKind FaultInjector::FromRates(bool parameterReply) {
    for (std::size_t i = 1; i < kFaultKindCount; ++i) {
        const auto kind = static_cast<FaultKind>(i);
        if (thresholds_[i] == 0 || (NeedsParameterChannel(kind) && !parameterReply)) {
            continue;
        }
        if (rng_() < thresholds_[i]) {
            return kind;
        }
    }
    return FaultKind::None;
}

Transmission FaultInjector::Apply(FaultKind kind, std::vector<std::uint8_t> reply) {
    const std::lock_guard lock(mutex_);
    Transmission out;
    out.bytes = std::move(reply);
    switch (kind) {
    case FaultKind::Drop: out.dropped = true; break;
    case FaultKind::CorruptBcc: out.bytes.back() ^= static_cast<std::uint8_t>(1 + rng_() % 255); break;
    case FaultKind::Late: out.extraDelayNs = std::int64_t{settings_.lateMs} * 1000000; break;
    case FaultKind::Split:
        for (std::uint32_t k = 1; k < settings_.splitChunks && k < out.bytes.size(); ++k) {
            out.chunkStarts.push_back(out.bytes.size() * k / settings_.splitChunks);
        }
        out.chunkGapNs = std::int64_t{settings_.splitGapMs} * 1000000;
        break;
    case FaultKind::Noise:
        for (std::uint32_t i = 0; i < settings_.noiseBytes; ++i) {
            out.bytes.insert(out.bytes.begin(), static_cast<std::uint8_t>(rng_() & 0xFFu));
        }
        break;
    case FaultKind::BitFlip: FlipBits(out.bytes, settings_.bitFlips); break;
    default: break;
    }
    return out;
}

void FaultInjector::FlipBits(std::vector<std::uint8_t>& bytes, std::uint32_t flips) {
    const auto bits = static_cast<std::uint32_t>(bytes.size() * 8);
    std::vector<std::uint32_t> chosen;
    while (chosen.size() < std::min(flips, bits)) {
        const std::uint32_t bit = static_cast<std::uint32_t>(rng_() % bits);
        if (std::find(chosen.begin(), chosen.end(), bit) == chosen.end()) {
            chosen.push_back(bit);
            bytes[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
        }
    }
}

}  // namespace korvansim
