// The soak's own judgement: replies matched to requests, values held against the
// replies they may have come from, and the bit-flip theory the figures are read by.
#include <gtest/gtest.h>

#include "tests/soak/bit_flips.h"
#include "tests/soak/call_judges.h"
#include "tests/soak/drive_reading.h"
#include "tests/soak/fault_tally.h"
#include "tests/soak/reply_ledger.h"
#include "tests/soak/soak_options.h"
#include "tests/soak/value_texts.h"
#include "tools/hostkit/config_blob.h"

namespace korvansoak {
namespace {

using korvansim::FaultKind;
using korvansim::ReplyRecord;

// A reply of the drive to a read of `pnu`, with the value `value`, as logged.
ReplyRecord Reply(uint16_t pnu, uint32_t value, FaultKind fault = FaultKind::None, uint8_t ak = 1) {
    ReplyRecord record;
    record.address = 1;
    record.ak = ak;
    record.pnu = pnu;
    record.value = value;
    record.statusWord = 0x0607;
    record.mainActual = 0x4000;
    record.fault = fault;
    record.bytes = ReplyAsBuilt(record);
    if (fault == FaultKind::Drop) record.bytes.clear();
    return record;
}

const PlanChannel& Channel(uint16_t pnu) {
    for (const PlanChannel& channel : PlanChannels()) {
        if (channel.pnu == pnu) return channel;
    }
    throw std::logic_error("no such channel in the plan");
}

class LedgerTest : public ::testing::Test {
protected:
    // Requests for `pnus` in order, answered by `replies`.
    void Exchange(const std::vector<uint16_t>& pnus, std::vector<ReplyRecord> replies) {
        for (uint16_t pnu : pnus) ledger.Expect(pnu, false);
        std::string problem;
        ASSERT_TRUE(ledger.Add(std::move(replies), problem)) << problem;
    }
    // What the host holds after a successful collection of 202 (slot 8) reading `reply`.
    static Collected Stored(const ReplyRecord& reply) {
        Collected collected{0, std::vector<double>(18, kUntouched), std::vector<std::u16string>(18, u"†")};
        const Reading reading = ReadingOf(ReplyAsBuilt(reply), 3, 0.1);
        collected.values[0] = 0.0;
        collected.values[1] = reading.mainActual;
        collected.values[2] = reading.statusWord;
        collected.values[8] = reading.value;
        return collected;
    }

    ReplyLedger ledger;
};

TEST_F(LedgerTest, RepliesAnswerRequestsInOrderAndAStrayOneIsAProblem) {
    Exchange({202, 207}, {Reply(202, 500), Reply(208, 9, FaultKind::WrongPnu)});
    EXPECT_EQ(ledger.Answered(), 2u);
    ledger.Expect(202, false);
    std::string problem;
    EXPECT_FALSE(ledger.Add({Reply(207, 1)}, problem));
    EXPECT_NE(problem.find("207"), std::string::npos);
    EXPECT_FALSE(ledger.Add({Reply(202, 1), Reply(202, 1)}, problem));  // more replies than requests
}

TEST_F(LedgerTest, AFaultlessReplyBehindALateOneRunsAfterTheLateReply) {
    Exchange({202, 202, 213, 202, 202, 202, 202},
             {Reply(202, 1, FaultKind::Late), Reply(202, 2), Reply(213, 3, FaultKind::Noise),
              Reply(202, 4, FaultKind::None, 7), Reply(202, 5), Reply(202, 6), Reply(202, 7)});
    EXPECT_EQ(ledger.ContextOf(0), Context::Late);
    EXPECT_EQ(ledger.ContextOf(1), Context::AfterLate);
    EXPECT_EQ(ledger.ContextOf(2), Context::Noise);
    EXPECT_EQ(ledger.ContextOf(4), Context::AfterLate);  // kLateReach requests on
    EXPECT_EQ(ledger.ContextOf(5), Context::None);
    EXPECT_EQ(ledger.Window(6, kLateReach).size(), 5u);
}

TEST_F(LedgerTest, ACollectedValueMustBeOneThatAReplyForItsParameterCarried) {
    const PlanChannel& channel = Channel(202);
    Exchange({202, 202}, {Reply(202, 450, FaultKind::Late), Reply(202, 460)});
    EXPECT_FALSE(JudgeCollection(ledger, 1, channel, 8, Stored(Reply(202, 460))).wrong);
    EXPECT_FALSE(JudgeCollection(ledger, 1, channel, 8, Stored(Reply(202, 450))).wrong);  // the late reply, taken
    EXPECT_TRUE(JudgeCollection(ledger, 1, channel, 8, Stored(Reply(202, 470))).wrong);

    Exchange({202}, {Reply(203, 480, FaultKind::WrongPnu)});
    EXPECT_TRUE(JudgeCollection(ledger, 2, channel, 8, Stored(Reply(203, 480))).wrong);
    Collected spilled = Stored(Reply(202, 460));
    spilled.values[9] = 1.0;
    EXPECT_TRUE(JudgeCollection(ledger, 1, channel, 8, spilled).wrong);
}

TEST_F(LedgerTest, AFailedCollectionMayStoreNothingButItsStatus) {
    Exchange({202}, {Reply(202, 450, FaultKind::Drop)});
    Collected failed{-100, std::vector<double>(18, kUntouched), std::vector<std::u16string>(18, u"†")};
    failed.values[0] = 2.0;
    const Verdict quiet = JudgeCollection(ledger, 0, Channel(202), 8, failed);
    EXPECT_FALSE(quiet.wrong);
    EXPECT_EQ(quiet.context, Context::Drop);
    EXPECT_EQ(quiet.outcome, 2);
    failed.values[2] = 0x0607;
    EXPECT_TRUE(JudgeCollection(ledger, 0, Channel(202), 8, failed).wrong);
}

TEST_F(LedgerTest, AWriteReportedDoneMustHaveBeenCarriedOut) {
    const PlanChannel& channel = Channel(207);
    Exchange({207, 207}, {Reply(207, 425), Reply(207, 17, FaultKind::Refuse, 7)});
    EXPECT_FALSE(JudgeWrite(ledger, 0, channel, 426, {0.0}).wrong);  // the text scan may lose the last unit
    EXPECT_TRUE(JudgeWrite(ledger, 0, channel, 428, {0.0}).wrong);
    EXPECT_TRUE(JudgeWrite(ledger, 1, channel, 425, {0.0}).wrong);
    EXPECT_FALSE(JudgeWrite(ledger, 1, channel, 425, {100.0}).wrong);
}

TEST(BitFlipTheory, TheFormulaCountsThePairsTheCheckCharacterMisses) {
    for (std::size_t n : {8u, 16u, 30u}) {
        uint64_t pairs = 0, unseen = 0;
        for (std::size_t a = 0; a < 8 * n; ++a) {
            for (std::size_t b = a + 1; b < 8 * n; ++b, ++pairs) unseen += a % 8 == b % 8 ? 1 : 0;
        }
        EXPECT_DOUBLE_EQ(UnseenPairRate(n), static_cast<double>(unseen) / static_cast<double>(pairs)) << n;
    }
    EXPECT_DOUBLE_EQ(UnseenPairRate(16), 15.0 / 127.0);
}

TEST(BitFlipTheory, UnseenPairsSplitByWhatTheHostWouldSee) {
    const std::vector<uint8_t> reply = ReplyAsBuilt(Reply(202, 500));
    const UnseenPairs u16 = ClassifyUnseenPairs(reply, 202, 3);
    const UnseenPairs u8 = ClassifyUnseenPairs(reply, 202, 2);
    EXPECT_NEAR(u16.rejected + u16.harmless + u16.wrong, 1.0, 1e-12);  // shares of the unseen pairs
    EXPECT_GT(u16.rejected, 0.0);          // the start byte, the length byte and the parameter number
    EXPECT_GT(u8.harmless, u16.harmless);  // an 8-bit channel reads one byte of the value field
    EXPECT_LT(u8.wrong, u16.wrong);
}

TEST(BitFlipTheory, OnlyWrongValuesFromUnseenFlipsAreLeftOutOfTheVerdict) {
    FaultTally tally;
    tally.Collection(Context::BitFlip, 0, true);
    EXPECT_EQ(tally.WrongWhereDetectable(), 0u);
    tally.Collection(Context::AfterLate, 0, true);
    tally.Command(Context::Noise, 0, true);
    EXPECT_EQ(tally.WrongWhereDetectable(), 2u);

    std::vector<uint8_t> unseen = ReplyAsBuilt(Reply(202, 500));
    unseen[9] ^= 0x04;
    unseen[10] ^= 0x04;
    tally.Flips().NoteCollection(unseen, ReplyAsBuilt(Reply(202, 500)), 202, 3, true, true);
    std::vector<uint8_t> seen = unseen;
    seen[10] ^= 0x08;
    tally.Flips().NoteReply(unseen);
    tally.Flips().NoteReply(seen);
    EXPECT_EQ(tally.Flips().collectedUnseen, 1u);
    EXPECT_EQ(tally.Flips().wrong, 1u);
    EXPECT_EQ(tally.Flips().unseen, 1u);
    EXPECT_NEAR(tally.Flips().unseenExpected, 2 * UnseenPairRate(16), 1e-12);
}

TEST(ValueTexts, ValuesAreWrittenWithTheFactorsDecimals) {
    EXPECT_EQ(ScaledValueText(-5, 0.01), u"-0.05");
    EXPECT_EQ(ScaledValueText(12345, 0.001), u"12.345");
    EXPECT_EQ(ScaledValueText(475, 0.1), u"47.5");
    EXPECT_EQ(ScaledValueText(4294967295, 1.0), u"4294967295");
    EXPECT_EQ(WriteCommand(Channel(207), 425, 1), u"WRITE(207,-2,4,1,4.25)");
    std::mt19937 random(7);
    for (int i = 0; i < 50; ++i) {
        const std::u16string text = DisplayText(random);
        EXPECT_EQ(hostkit::ToGbk(text).size(), static_cast<std::size_t>(kTextBytes));
        EXPECT_NE(text.front(), u' ');
        EXPECT_NE(text.back(), u' ');
    }
}

TEST(SoakOptions, RatesAndCountsAreTakenAndNonsenseIsRefused) {
    std::string error;
    const auto options = ParseOptions({"--calls", "7", "--rate", "late=0.5", "--quiet"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->calls, 7u);
    EXPECT_EQ(options->rates[static_cast<std::size_t>(FaultKind::Late)], 0.5);
    EXPECT_FALSE(options->progress);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--rate", "late=2"}, {"--rate", "none=0.1"}, {"--calls", "-1"}, {"--calls", "4294967296"},
             {"--restart-every", "0"}, {"--calls"}}) {
        EXPECT_FALSE(ParseOptions(bad, error)) << bad[0];
    }
}

}  // namespace
}  // namespace korvansoak
