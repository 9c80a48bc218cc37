#include "tests/soak/fault_tally.h"

#include <algorithm>
#include <numeric>

namespace korvansoak {

uint64_t ContextCounts::Collections() const {
    return std::accumulate(collectionStatus.begin(), collectionStatus.end(), uint64_t{0});
}

uint64_t ContextCounts::Commands() const {
    uint64_t total = 0;
    for (const auto& [result, count] : commandResults) total += count;
    return total;
}

void FaultTally::Collection(Context context, int32_t status, bool wrong) {
    ContextCounts& counts = counts_[static_cast<std::size_t>(context)];
    ++counts.collectionStatus[static_cast<std::size_t>(std::clamp(status, 0, 4))];
    if (wrong) ++counts.wrongCollected;
}

void FaultTally::Command(Context context, int32_t result, bool wrong) {
    ContextCounts& counts = counts_[static_cast<std::size_t>(context)];
    ++counts.commandResults[result];
    if (wrong) ++counts.wrongCommands;
}

void FaultTally::Example(std::string text, std::size_t limit) {
    if (examples_.size() < limit) examples_.push_back(std::move(text));
}

uint64_t FaultTally::WrongWhereDetectable() const {
    uint64_t wrong = 0;
    for (std::size_t i = 0; i < kContextCount; ++i) {
        if (static_cast<Context>(i) == Context::BitFlip) continue;
        wrong += counts_[i].wrongCollected + counts_[i].wrongCommands;
    }
    return wrong;
}

}  // namespace korvansoak
