#include "tests/soak/call_judges.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "tests/soak/drive_reading.h"

namespace korvansoak {
namespace {

using korvansim::ReplyRecord;

constexpr int32_t kDone = 0;
constexpr int32_t kWriteFailed = 100;

bool Untouched(const std::vector<double>& values, std::size_t from, std::size_t skip) {
    for (std::size_t i = from; i < values.size(); ++i) {
        if (i != skip && values[i] != kUntouched) return false;
    }
    return true;
}

bool Untouched(const std::vector<std::u16string>& texts, std::size_t skip) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i != skip && texts[i] != kUntouchedText) return false;
    }
    return true;
}

// Whether some reply the call may have taken reads as `stored`.
template <class Matches>
bool SomeReplyGives(const ReplyLedger& ledger, uint64_t ordinal, const PlanChannel& channel, Matches&& matches) {
    for (const ReplyRecord* record : ledger.Window(ordinal, kLateReach)) {
        if (GivesValueOf(*record, channel.pnu) &&
            matches(ReadingOf(ReplyAsBuilt(*record), channel.type, channel.factor))) {
            return true;
        }
    }
    return false;
}

std::string Describe(const char* call, const PlanChannel& channel, const std::string& what) {
    return std::string(call) + " of parameter " + std::to_string(channel.pnu) + ": " + what;
}

Verdict Start(const ReplyLedger& ledger, uint64_t ordinal, int32_t outcome) {
    return {ledger.ContextOf(ordinal), outcome, false, {}};
}

// What an integer host variable receives: toward zero, held to the 32-bit range.
int32_t IntegerOf(float value) {
    if (value >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(std::trunc(value));
}

int32_t ResultCode(const std::vector<double>& results) {
    return results.empty() ? -1 : static_cast<int32_t>(results[0]);
}

}  // namespace

Verdict JudgeCollection(const ReplyLedger& ledger, uint64_t ordinal, const PlanChannel& channel, int32_t slot,
                        const Collected& collected) {
    const std::vector<double>& values = collected.values;
    const auto at = static_cast<std::size_t>(slot);
    Verdict verdict = Start(ledger, ordinal, static_cast<int32_t>(values[0]));
    if (collected.returned != 0 || values[0] != 0.0) {
        const bool reported = collected.returned == -100 && values[0] >= 1.0 && values[0] <= 4.0;
        verdict.wrong = !reported || !Untouched(values, 1, values.size()) || !Untouched(collected.texts, values.size());
        if (verdict.wrong) verdict.why = Describe("collection", channel, "a failed exchange stored values");
        return verdict;
    }
    Reading stored;
    if (channel.type == kTextType) stored.text = collected.texts[at];
    else stored.value = values[at];
    stored.statusWord = values[2];
    stored.mainActual = values[1];
    const bool fromAReply = SomeReplyGives(ledger, ordinal, channel, [&](const Reading& r) { return r == stored; });
    const bool aloneInItsSlot = Untouched(values, 3, at) && Untouched(collected.texts, at);
    verdict.wrong = !fromAReply || !aloneInItsSlot;
    if (verdict.wrong) {
        const std::string what = channel.type == kTextType ? "a text" : "the value " + std::to_string(stored.value);
        verdict.why = Describe(
            "collection", channel,
            fromAReply ? "stored into other channels as well" : "stored " + what + " no reply of the drive carried");
    }
    return verdict;
}

Verdict JudgeRead(const ReplyLedger& ledger, uint64_t ordinal, const PlanChannel& channel,
                  const hostkit::HostValue& marker, const std::optional<hostkit::HostValue>& after,
                  const std::vector<double>& results) {
    Verdict verdict = Start(ledger, ordinal, ResultCode(results));
    if (verdict.outcome != kDone) {
        const bool processDataKept = results[1] == kUntouched && results[2] == kUntouched;
        verdict.wrong = verdict.outcome < 2 || verdict.outcome > 4 || after != marker || !processDataKept;
        if (verdict.wrong)
            verdict.why = Describe("READ", channel, "a failed exchange changed the variable or the results");
        return verdict;
    }
    const auto expected = [&](const Reading& r) -> hostkit::HostValue {
        if (std::holds_alternative<std::u16string>(marker)) return r.text;
        const auto single = static_cast<float>(r.value);
        if (std::holds_alternative<float>(marker)) return single;
        return IntegerOf(single);
    };
    verdict.wrong = !SomeReplyGives(ledger, ordinal, channel, [&](const Reading& r) {
        return after == expected(r) && results[1] == r.mainActual && results[2] == r.statusWord;
    });
    if (verdict.wrong) verdict.why = Describe("READ", channel, "stored a value no reply of the drive carried");
    return verdict;
}

Verdict JudgeWrite(const ReplyLedger& ledger, uint64_t ordinal, const PlanChannel& channel, int64_t raw,
                   const std::vector<double>& results) {
    Verdict verdict = Start(ledger, ordinal, ResultCode(results));
    const ReplyRecord& own = ledger.At(ordinal);
    if (verdict.outcome == kWriteFailed) return verdict;
    const bool carriedOut = own.ak != korvansim::ak::kCannotExecute;
    verdict.wrong = verdict.outcome != kDone || !carriedOut || std::llabs(RawValueOf(own, channel.type) - raw) > 1;
    if (verdict.wrong) {
        verdict.why = Describe("write", channel,
                               "reported done, the drive holds " + std::to_string(RawValueOf(own, channel.type)) +
                                   " for " + std::to_string(raw) + (carriedOut ? "" : " (refused)"));
    }
    return verdict;
}

Verdict JudgeTextWrite(const ReplyLedger& ledger, uint64_t ordinal, const std::vector<uint8_t>& text,
                       const std::vector<double>& results) {
    Verdict verdict = Start(ledger, ordinal, ResultCode(results));
    if (verdict.outcome == kWriteFailed) return verdict;
    const ReplyRecord& own = ledger.At(ordinal);
    verdict.wrong = verdict.outcome != kDone || own.ak != korvansim::ak::kTextValue || own.text != text;
    if (verdict.wrong)
        verdict.why = "text write of parameter " + std::to_string(own.pnu) + ": reported done, not carried out";
    return verdict;
}

Verdict JudgeProcessWrite(const ReplyLedger& ledger, uint64_t ordinal, const std::vector<double>& results) {
    Verdict verdict = Start(ledger, ordinal, ResultCode(results));
    verdict.wrong = verdict.outcome != kDone && verdict.outcome != kWriteFailed;
    if (verdict.wrong) verdict.why = "process write: result " + std::to_string(verdict.outcome);
    return verdict;
}

}  // namespace korvansoak
