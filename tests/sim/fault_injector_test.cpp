// Faults on replies: what each kind does to the bytes, scripts before rates, counts.
#include <gtest/gtest.h>

#include <bit>

#include "tests/sim/sim_requests.h"
#include "tools/korvan-sim/fault_injector.h"

namespace korvansim {
namespace {

int DifferingBits(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int bits = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        bits += std::popcount(static_cast<unsigned>(a[i] ^ b[i]));
    }
    return bits;
}

class FaultInjectorTest : public ::testing::Test {
protected:
    FaultInjector faults{7};
    const std::vector<std::uint8_t> reply = simtest::Bytes(simtest::Parameter(ak::kWordValue, 202, 0, 500, 0x0607));
};

TEST_F(FaultInjectorTest, EachKindChangesTheReplyItsOwnWay) {
    EXPECT_TRUE(faults.Apply(FaultKind::Drop, reply).dropped);

    const Transmission corrupt = faults.Apply(FaultKind::CorruptBcc, reply);
    EXPECT_TRUE(std::equal(reply.begin(), reply.end() - 1, corrupt.bytes.begin()));
    EXPECT_NE(corrupt.bytes.back(), reply.back());

    EXPECT_EQ(faults.Apply(FaultKind::Late, reply).extraDelayNs, 400000000);

    const Transmission split = faults.Apply(FaultKind::Split, reply);
    EXPECT_EQ(split.bytes, reply);
    EXPECT_EQ(split.chunkStarts, (std::vector<std::size_t>{5, 10}));
    EXPECT_EQ(split.chunkGapNs, 15000000);

    const Transmission noise = faults.Apply(FaultKind::Noise, reply);
    ASSERT_EQ(noise.bytes.size(), reply.size() + 3);
    EXPECT_TRUE(std::equal(reply.begin(), reply.end(), noise.bytes.begin() + 3));

    FaultSettings settings;
    settings.bitFlips = 5;
    faults.SetSettings(settings);
    const Transmission flipped = faults.Apply(FaultKind::BitFlip, reply);
    ASSERT_EQ(flipped.bytes.size(), reply.size());
    EXPECT_EQ(DifferingBits(flipped.bytes, reply), 5);
}

TEST_F(FaultInjectorTest, ScriptGoesFirstAndParameterFaultsSkipProcessReplies) {
    faults.SetRate(FaultKind::Drop, 1.0);
    faults.Script({FaultKind::Late, FaultKind::None, FaultKind::Refuse, FaultKind::WrongPnu});
    EXPECT_EQ(faults.Choose(true), FaultKind::Late);
    EXPECT_EQ(faults.Choose(true), FaultKind::None);
    EXPECT_EQ(faults.Choose(false), FaultKind::None);  // no parameter channel to refuse
    EXPECT_EQ(faults.Choose(true), FaultKind::WrongPnu);
    EXPECT_EQ(faults.Choose(true), FaultKind::Drop);
    EXPECT_EQ(faults.Count(FaultKind::Refuse), 0u);
    EXPECT_EQ(faults.Count(FaultKind::Late), 1u);
    EXPECT_EQ(faults.Count(FaultKind::Drop), 1u);
    faults.ResetCounts();
    EXPECT_EQ(faults.Count(FaultKind::Drop), 0u);
}

TEST_F(FaultInjectorTest, RatesFollowTheSeed) {
    const auto run = [](std::uint32_t seed) {
        FaultInjector injector(seed);
        injector.SetRate(FaultKind::Noise, 0.3);
        injector.SetRate(FaultKind::Split, 0.3);
        std::vector<FaultKind> kinds;
        for (int i = 0; i < 200; ++i) {
            kinds.push_back(injector.Choose(true));
        }
        return kinds;
    };
    const std::vector<FaultKind> first = run(42);
    EXPECT_EQ(first, run(42));
    EXPECT_NE(first, run(43));
    const auto noise = std::count(first.begin(), first.end(), FaultKind::Noise);
    EXPECT_GT(noise, 20);
    EXPECT_LT(noise, 100);
}

TEST(FaultNames, RoundTrip) {
    for (std::size_t i = 0; i < kFaultKindCount; ++i) {
        const auto kind = static_cast<FaultKind>(i);
        EXPECT_EQ(ParseFaultName(FaultName(kind)), kind);
    }
    EXPECT_FALSE(ParseFaultName("explode"));
}

}  // namespace
}  // namespace korvansim
