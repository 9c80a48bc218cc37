// Faults on the drive's replies, chosen by rate (a seeded PRNG) or by a scripted sequence
// that takes precedence, and counted per kind. Thread-safe.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

namespace korvansim {

enum class FaultKind : std::uint8_t { None, Drop, CorruptBcc, Late, Split, Noise, WrongPnu, Refuse, BitFlip };
inline constexpr std::size_t kFaultKindCount = 9;

std::string_view FaultName(FaultKind kind);
std::optional<FaultKind> ParseFaultName(std::string_view name);

struct FaultSettings {
    std::uint32_t lateMs = 400;       // Late: extra delay before the reply
    std::uint32_t splitChunks = 3;    // Split: pieces of the reply …
    std::uint32_t splitGapMs = 15;    // … and the pause before each piece after the first
    std::uint32_t noiseBytes = 3;     // Noise: random bytes sent before the reply
    std::uint16_t refuseError = 17;   // Refuse: error number with AK 7
    std::uint32_t bitFlips = 1;       // BitFlip: distinct bits flipped anywhere in the reply
};

// A reply as it goes on the line.
struct Transmission {
    std::vector<std::uint8_t> bytes;
    bool dropped = false;
    std::int64_t extraDelayNs = 0;
    std::vector<std::size_t> chunkStarts;  // offsets preceded by a gap of chunkGapNs
    std::int64_t chunkGapNs = 0;
};

class FaultInjector {
public:
    explicit FaultInjector(std::uint32_t seed = 1) : rng_(seed) {}

    void Reseed(std::uint32_t seed);
    // Probability 0..1 per reply; values outside are clamped.
    void SetRate(FaultKind kind, double probability);
    void SetSettings(const FaultSettings& settings);
    FaultSettings Settings() const;
    // Appends to the sequence applied to the next replies in order (None lets one pass).
    void Script(const std::vector<FaultKind>& sequence);
    std::uint64_t Count(FaultKind kind) const;
    void ResetCounts();

    // The fault for the next reply. WrongPnu and Refuse need a parameter channel: for a
    // process reply they do nothing and are not counted.
    FaultKind Choose(bool parameterReply);
    // The byte and timing faults applied to an encoded reply.
    Transmission Apply(FaultKind kind, std::vector<std::uint8_t> reply);

private:
    FaultKind FromRates(bool parameterReply);
    void FlipBits(std::vector<std::uint8_t>& bytes, std::uint32_t flips);

    mutable std::mutex mutex_;
    std::mt19937 rng_;
    std::array<std::uint64_t, kFaultKindCount> thresholds_{};  // out of 2^32
    std::array<std::uint64_t, kFaultKindCount> counts_{};
    std::deque<FaultKind> script_;
    FaultSettings settings_;
};

}  // namespace korvansim
