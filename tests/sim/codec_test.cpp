// The drive's side of the wire format, and finding telegrams in a noisy byte stream.
#include <gtest/gtest.h>

#include "tests/sim/sim_requests.h"
#include "tools/korvan-sim/telegram_codec.h"
#include "tools/korvan-sim/telegram_framer.h"

namespace korvansim {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(TelegramCodec, BlockCheckMatchesTheDrivesExamples) {
    EXPECT_EQ(BlockCheck(Bytes{0x02, 0xD6}), 0xD4);
    const Bytes read102{0x02, 0x0E, 0x01, 0x10, 0x66, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(BlockCheck(read102), 0x7B);
    EXPECT_EQ(BlockCheck(Bytes{0x02, 0x06, 0x01, 0x04, 0x7F, 0x40, 0x00}), 0x3E);
}

TEST(TelegramCodec, DecodesTheThreeKindsOfRequest) {
    const Decoded read = DecodeTelegram(Bytes{0x02, 0x0E, 0x01, 0x10, 0x66, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7B});
    ASSERT_EQ(read.error, DecodeError::None);
    EXPECT_EQ(read.telegram.kind, TelegramKind::Parameter);
    EXPECT_EQ(read.telegram.ak, 1);
    EXPECT_EQ(read.telegram.pnu, 102);

    const Decoded process = DecodeTelegram(Bytes{0x02, 0x06, 0x01, 0x04, 0x7F, 0x40, 0x00, 0x3E});
    ASSERT_EQ(process.error, DecodeError::None);
    EXPECT_EQ(process.telegram.kind, TelegramKind::Process);
    EXPECT_EQ(process.telegram.pcd1, 0x047F);
    EXPECT_EQ(process.telegram.pcd2, 0x4000);

    // Word write of 1500 to 204 with AK 14: PKE E0 CC, IND 05 00, PWE 00 00 05 DC.
    Bytes write{0x02, 0x0E, 0x01, 0xE0, 0xCC, 0x05, 0x00, 0x00, 0x00, 0x05, 0xDC, 0, 0, 0, 0};
    write.push_back(BlockCheck(write));
    const Decoded decoded = DecodeTelegram(write);
    EXPECT_EQ(decoded.telegram.ak, 14);
    EXPECT_EQ(decoded.telegram.pnu, 204);
    EXPECT_EQ(decoded.telegram.value, 1500u);
}

TEST(TelegramCodec, SixteenByteTextCommandsAreToldApartByIndex) {
    const Decoded textRead = DecodeTelegram(simtest::Bytes(simtest::Parameter(ak::kText, 621, 0x0400)));
    EXPECT_EQ(textRead.telegram.kind, TelegramKind::Parameter);
    const Decoded fourBytes = DecodeTelegram(simtest::Bytes(simtest::TextWrite(533, {'A', 'B', 'C', 'D'})));
    EXPECT_EQ(fourBytes.telegram.kind, TelegramKind::Text);
    EXPECT_EQ(fourBytes.telegram.text, (Bytes{'A', 'B', 'C', 'D'}));
}

TEST(TelegramCodec, RoundTripsEveryKind) {
    Telegram text = simtest::TextWrite(534, {0xB1, 0xE4, 0xC6, 0xB5, 0xC6, 0xF7});
    text.pcd1 = 0x1234;
    for (const Telegram& original : {simtest::Parameter(3, 2047, 0x00FF, 0xDEADBEEF, 0x047C, 0xC000, 0x81),
                                     simtest::Process(0xFFFF, 0x8001, 126), text, simtest::TextWrite(533, {})}) {
        const Bytes bytes = EncodeTelegram(original);
        EXPECT_EQ(bytes[1] + 2u, bytes.size());
        const Decoded decoded = DecodeTelegram(bytes);
        ASSERT_EQ(decoded.error, DecodeError::None);
        EXPECT_EQ(decoded.telegram.kind, original.kind);
        EXPECT_EQ(decoded.telegram.address, original.address);
        EXPECT_EQ(decoded.telegram.pcd1, original.pcd1);
        EXPECT_EQ(decoded.telegram.pcd2, original.pcd2);
        EXPECT_EQ(decoded.telegram.text, original.text);
        EXPECT_EQ(decoded.telegram.value, original.value);
    }
}

TEST(TelegramCodec, RejectsDamagedTelegrams) {
    Bytes good = simtest::Bytes(simtest::Parameter(1, 202));
    Bytes badBcc = good;
    badBcc.back() ^= 0x01;
    EXPECT_EQ(DecodeTelegram(badBcc).error, DecodeError::BadBcc);
    Bytes badLength = good;
    badLength[1] = 0x08;
    EXPECT_EQ(DecodeTelegram(badLength).error, DecodeError::BadLength);
    EXPECT_EQ(DecodeTelegram(Bytes{0x02, 0x0E}).error, DecodeError::TooShort);
    Telegram notText = simtest::TextWrite(533, {'x'});
    notText.ak = 1;
    EXPECT_EQ(DecodeTelegram(EncodeTelegram(notText)).error, DecodeError::BadLayout);
}

class FramerTest : public ::testing::Test {
protected:
    std::vector<FramerEvent> Push(const Bytes& bytes, std::int64_t nowNs = 0) {
        std::vector<FramerEvent> events;
        framer.Push(bytes, nowNs, events);
        return events;
    }
    static std::vector<FramerEvent::Kind> Kinds(const std::vector<FramerEvent>& events) {
        std::vector<FramerEvent::Kind> kinds;
        for (const FramerEvent& event : events) {
            kinds.push_back(event.kind);
        }
        return kinds;
    }

    TelegramFramer framer{5000000};
    const Bytes telegram = simtest::Bytes(simtest::Parameter(1, 202));
};

TEST_F(FramerTest, AssemblesATelegramArrivingByteByByte) {
    for (std::size_t i = 0; i + 1 < telegram.size(); ++i) {
        EXPECT_TRUE(Push({telegram[i]}).empty());
    }
    const std::vector<FramerEvent> events = Push({telegram.back()});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].bytes, telegram);
}

TEST_F(FramerTest, SkipsNoiseAndRescansAfterAFalseStx) {
    // A stray STX with a plausible LGE swallows the start of the real telegram; the BCC
    // fails and the hunt starts again at the real STX.
    Bytes stream{0xFF, 0x55, 0x02, 0x0E, 0x07, 0x03};
    stream.insert(stream.end(), telegram.begin(), telegram.end());
    const std::vector<FramerEvent> events = Push(stream);
    using K = FramerEvent::Kind;
    EXPECT_EQ(Kinds(events), (std::vector<K>{K::Noise, K::BadBcc, K::Telegram}));
    EXPECT_EQ(events.back().bytes, telegram);
}

TEST_F(FramerTest, DropsAStalledPartialTelegram) {
    EXPECT_TRUE(Push(Bytes(telegram.begin(), telegram.begin() + 7), 0).empty());
    ASSERT_TRUE(framer.StallDeadline().has_value());
    EXPECT_EQ(*framer.StallDeadline(), 5000000);
    const std::vector<FramerEvent> events = Push(telegram, 6000000);
    using K = FramerEvent::Kind;
    EXPECT_EQ(Kinds(events), (std::vector<K>{K::Stalled, K::Telegram}));
    EXPECT_FALSE(framer.StallDeadline().has_value());
}

TEST_F(FramerTest, DropsAnStxWithAnImpossibleLength) {
    Bytes stream{0x02, 0x08};
    stream.insert(stream.end(), telegram.begin(), telegram.end());
    using K = FramerEvent::Kind;
    EXPECT_EQ(Kinds(Push(stream)), (std::vector<K>{K::BadLength, K::Noise, K::Telegram}));
}

}  // namespace
}  // namespace korvansim
