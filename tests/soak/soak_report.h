// The soak's figures as people read them: per fault kind the faults injected, what the
// driver reported for them and the wrong values stored; the bit flips against what
// the XOR check character lets through in theory.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tests/soak/fault_tally.h"
#include "tools/korvan-sim/fault_injector.h"

namespace korvansoak {

struct SoakSummary {
    uint64_t collections = 0;
    uint64_t commands = 0;
    uint64_t exchanges = 0;
    double seconds = 0.0;
    uint32_t seed = 0;
    std::array<uint64_t, korvansim::kFaultKindCount> injected{};
};

std::string FormatReport(const SoakSummary& summary, const FaultTally& tally);

}  // namespace korvansoak
