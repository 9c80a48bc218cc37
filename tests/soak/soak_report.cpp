#include "tests/soak/soak_report.h"

#include <cstdio>
#include <string>

namespace korvansoak {
namespace {

std::string Format(const char* pattern, auto... values) {
    char line[512];
    std::snprintf(line, sizeof line, pattern, values...);
    return line;
}

unsigned long long Wide(uint64_t value) { return value; }

std::string CommandResults(const ContextCounts& counts) {
    std::string text;
    for (const auto& [result, count] : counts.commandResults) {
        text += Format("%s%d:%llu", text.empty() ? "" : " ", result, Wide(count));
    }
    return text.empty() ? "-" : text;
}

std::string Injected(const SoakSummary& summary, std::size_t context) {
    return context < korvansim::kFaultKindCount && context > 0 ? std::to_string(summary.injected[context]) : "-";
}

std::string KindsTable(const SoakSummary& summary, const FaultTally& tally) {
    std::string text =
        "fault context          injected | collection status: 0 done, 1-4 failed  | commands by result   | wrong\n"
        "                                |      0      1      2      3      4     | (0 done)             | values\n";
    for (std::size_t i = 0; i < kContextCount; ++i) {
        const ContextCounts& c = tally.Of(static_cast<Context>(i));
        if (c.Collections() + c.Commands() == 0 && (i == 0 || i >= korvansim::kFaultKindCount)) continue;
        const auto& s = c.collectionStatus;
        text += Format("%-22s %9s | %6llu %6llu %6llu %6llu %6llu     | %-20s | %llu\n",
                       ContextName(static_cast<Context>(i)), Injected(summary, i).c_str(), Wide(s[0]), Wide(s[1]),
                       Wide(s[2]), Wide(s[3]), Wide(s[4]), CommandResults(c).c_str(),
                       Wide(c.wrongCollected + c.wrongCommands));
    }
    return text;
}

std::string FlipsSection(const FlipFigures& f) {
    const uint64_t refused = f.collectedUnseen - f.accepted;
    return "bit flips, two distinct bits per reply: the XOR check character misses a pair exactly when both sit\n"
           "at the same bit position of two different bytes, probability (n - 1) / (8n - 1) for an n-byte reply\n"
           "(15/127 = 0.118 for the 16-byte parameter reply, 29/239 = 0.121 for the 30-byte text reply)\n" +
           Format("  flipped replies %llu; unseen by the check character %llu (%.2f %%), theory %.1f (%.2f %%)\n",
                  Wide(f.replies), Wide(f.unseen),
                  f.replies ? 100.0 * static_cast<double>(f.unseen) / static_cast<double>(f.replies) : 0.0,
                  f.unseenExpected, f.replies ? 100.0 * f.unseenExpected / static_cast<double>(f.replies) : 0.0) +
           Format(
               "  of %llu flipped collection replies, %llu unseen: refused by the other checks (start byte, length,\n"
               "  parameter number, refusal) %llu (theory %.1f), taken unchanged for the host (flips in bytes the\n"
               "  driver does not decode) %llu (theory %.1f), wrong values stored %llu (theory %.1f)\n",
               Wide(f.collected), Wide(f.collectedUnseen), Wide(refused), f.rejectedExpected,
               Wide(f.accepted - f.wrong), f.harmlessExpected, Wide(f.wrong), f.wrongExpected);
}

}  // namespace

std::string FormatReport(const SoakSummary& summary, const FaultTally& tally) {
    std::string text = Format(
        "korvan soak: %llu collection calls and %llu commands, %llu exchanges, in %.0f s (seed %u)\n\n",
        Wide(summary.collections), Wide(summary.commands), Wide(summary.exchanges), summary.seconds, summary.seed);
    text += KindsTable(summary, tally) + "\n" + FlipsSection(tally.Flips()) + "\n";
    text +=
        Format("wrong values stored where the protocol detects the fault: %llu\n", Wide(tally.WrongWhereDetectable()));
    for (const std::string& example : tally.Examples()) text += "  " + example + "\n";
    return text;
}

}  // namespace korvansoak
