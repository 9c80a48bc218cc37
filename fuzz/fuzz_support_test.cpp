// The fuzz targets' own parts: the texts made from fuzzer bytes, the fuzzed line's
// replies and their timing, and the reading of a reply the targets judge the driver by.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzzed_line.h"
#include "fuzz/reply_reference.h"
#include "fuzz/wide_input.h"

namespace korvanfuzz {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kReadRequest = {0x02, 0x0E, 0x01, 0x10, 0xCA, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xD7};  // parameter 202

Bytes WithCheck(Bytes telegram) {
    uint8_t sum = 0;
    for (uint8_t byte : telegram) sum ^= byte;
    telegram.push_back(sum);
    return telegram;
}

// A noise byte ahead of the telegram's first bytes, the check character made to match.
Bytes AfterNoise(const Bytes& telegram) {
    Bytes shifted(telegram.size() - 1, 0x55);
    std::copy(telegram.begin(), telegram.end() - 2, shifted.begin() + 1);
    return WithCheck(shifted);
}

TEST(WideFromBytes, ReadsUtf8AndReachesEveryCodeUnit) {
    const Bytes text = {'R',  0xE5, 0x8F, 0x98,              // R, 变
                        0xF0, 0x9F, 0x98, 0x80,              // a code point above U+FFFF
                        0x80, 0xE5, 0x8F,                    // a stray continuation byte, a cut sequence
                        0xFF, 0x00, 0x00, 0xFF, 0xD8, 0x00}; // NUL and a lone surrogate, escaped
    EXPECT_EQ(WideFromBytes(text), (std::u16string{u'R', u'变', 0xD83D, 0xDE00, 0xDC80, 0xDCE5, 0xDC8F, 0, 0xD800}));
    // An overlong form, and an escape byte too near the end.
    EXPECT_EQ(WideFromBytes(Bytes{0xC0, 0xAF, 0xFF, 0x41}), (std::u16string{0xDCC0, 0xDCAF, 0xDCFF, u'A'}));
    EXPECT_EQ(SplitText(u"a\nb\n", u'\n'), (std::vector<std::u16string>{u"a", u"b", u""}));
}

TEST(ReplyReference, OnlyAWholeTelegramForTheRequestedParameterIsAcceptable) {
    const Bytes good = WithCheck({0x02, 0x0E, 0x01, 0x10, 0xCA, 0, 0, 0, 0, 0x01, 0xF4, 0x06, 0x07, 0x40, 0x00});
    EXPECT_TRUE(IsAcceptable(kReadRequest, good));
    EXPECT_EQ(ReplyValue(good, 3, 0.1), 50.0);
    EXPECT_EQ(ReplyStatus(good), 0x0607);
    EXPECT_EQ(ReplyMainActual(good), 1.0);
    // Shifted by a noise byte, a reply to 273 still shows 273 where the number goes.
    const Bytes request273 = WithCheck({0x02, 0x0E, 0x01, 0x11, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const Bytes reply273 = WithCheck({0x02, 0x0E, 0x01, 0x11, 0x11, 0, 0, 0, 0, 0x01, 0xF4, 0x06, 0x07, 0x40, 0x00});
    EXPECT_TRUE(IsAcceptable(request273, reply273));
    EXPECT_FALSE(IsAcceptable(request273, AfterNoise(reply273)));
    Bytes other = good;
    other[4] = 0xCB;
    EXPECT_FALSE(IsAcceptable(kReadRequest, WithCheck(Bytes(other.begin(), other.end() - 1))));
    Bytes refusal = good;
    refusal[3] = 0x70;
    EXPECT_FALSE(IsAcceptable(kReadRequest, WithCheck(Bytes(refusal.begin(), refusal.end() - 1))));
    Bytes flipped = good;
    flipped[9] ^= 0x01;
    EXPECT_FALSE(IsAcceptable(kReadRequest, flipped));
}

TEST(ReplyReference, ATextReadWaitsForThirtyBytes) {
    Bytes textRead = kReadRequest;
    textRead[3] = 0xF2;
    textRead[4] = 0x6D;
    textRead[5] = 0x04;
    EXPECT_EQ(ExpectedReplyLength(textRead), 30u);
    EXPECT_EQ(ExpectedReplyLength(kReadRequest), 16u);
    EXPECT_EQ(TakenReply(kReadRequest, Bytes(40, 7)).size(), 16u);
    EXPECT_EQ(TakenReply(kReadRequest, Bytes(9, 7)).size(), 9u);
}

TEST(FuzzedLine, ARepliesShapeTimingAndNoiseComeFromTheInput) {
    // Framed with a good check character; then raw bytes, split, late, after two noise bytes.
    const Bytes input = {0x00, 16, 0, 0, 0, 0x10, 0, 0, 0, 0, 0x01, 0xF4, 0x06, 0x07, 0x40, 0x00, 0, 0,
                         0x4E, 5, 1, 2, 3, 4, 5, 0xAA, 0xBB, 100, 2, 30};
    FuzzInput fuzz(input);
    korvan::testing::ScriptedClock clock;
    FuzzedLine line(clock, fuzz);
    line.Write(kReadRequest, 200);
    clock.now = 5;
    const auto first = line.QueryAndClearErrors();
    ASSERT_EQ(first.queued, 16u);
    Bytes reply(16);
    ASSERT_TRUE(line.Read(reply));
    EXPECT_TRUE(IsAcceptable(kReadRequest, reply));
    EXPECT_EQ(line.Delivered(), reply);

    line.Write(kReadRequest, 200);
    EXPECT_TRUE(line.Delivered().empty());
    clock.now = 5 + 150 + 99;
    EXPECT_EQ(line.QueryAndClearErrors().queued, 0u);  // late: 150 ms and the input's 100
    clock.now = 5 + 250;
    EXPECT_EQ(line.QueryAndClearErrors().queued, 2u);  // the first piece: the two noise bytes
    clock.now = 5 + 250 + 30;
    EXPECT_EQ(line.QueryAndClearErrors().queued, 7u);  // the rest after the gap
    Bytes all(7);
    ASSERT_TRUE(line.Read(all));
    EXPECT_EQ(all, (Bytes{0xAA, 0xBB, 1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace korvanfuzz
