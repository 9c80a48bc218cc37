// What the driver reported for the exchanges of each fault context, and how many
// values it stored wrongly there: per collection status (0 to 4), and per command
// result (0 done, 1 to 4 a READ's failure, 100 a write's failure, 300 unusable).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/soak/bit_flips.h"
#include "tests/soak/reply_ledger.h"

namespace korvansoak {

struct ContextCounts {
    std::array<uint64_t, 5> collectionStatus{};
    std::map<int32_t, uint64_t> commandResults;
    uint64_t wrongCollected = 0;
    uint64_t wrongCommands = 0;

    uint64_t Collections() const;
    uint64_t Commands() const;
};

class FaultTally {
public:
    void Collection(Context context, int32_t status, bool wrong);
    void Command(Context context, int32_t result, bool wrong);
    // An explanation of a wrong value, kept up to `limit` of them.
    void Example(std::string text, std::size_t limit);

    const ContextCounts& Of(Context context) const { return counts_[static_cast<std::size_t>(context)]; }
    // Wrong values where the protocol can tell a fault: every context but bit flips.
    uint64_t WrongWhereDetectable() const;
    const std::vector<std::string>& Examples() const { return examples_; }
    FlipFigures& Flips() { return flips_; }
    const FlipFigures& Flips() const { return flips_; }

private:
    std::array<ContextCounts, kContextCount> counts_;
    std::vector<std::string> examples_;
    FlipFigures flips_;
};

}  // namespace korvansoak
