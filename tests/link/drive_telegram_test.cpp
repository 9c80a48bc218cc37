#include "link/drive_telegram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "driver/device_state.h"
#include "link/parameter_value.h"
#include "tests/support/scripted_port.h"

namespace korvan {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::ScriptedClock;
using testing::ScriptedPort;

Bytes WithBcc(Bytes telegram) {
    AppendBcc(telegram);
    return telegram;
}

TEST(DriveTelegram, RequestsCarryTheirFieldsBigEndian) {
    DriveTelegram t;
    EXPECT_EQ(BuildReadTelegram(t, 1, 102, 3), 16);
    EXPECT_EQ(WithBcc(t), (Bytes{0x02, 0x0E, 0x01, 0x10, 0x66, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7B}));

    EXPECT_EQ(BuildReadTelegram(t, 1, 621, 5), 30);
    EXPECT_EQ(Bytes(t.begin() + 3, t.begin() + 7), (Bytes{0xF2, 0x6D, 0x04, 0x00}));

    EXPECT_EQ(BuildWriteTelegram(t, 1, 204, 3, 1, 1500.0, 0, 0), 16);
    EXPECT_EQ(Bytes(t.begin() + 3, t.begin() + 11), (Bytes{0xE0, 0xCC, 0x05, 0x00, 0x00, 0x00, 0x05, 0xDC}));

    BuildWriteTelegram(t, 0x181, 0x2FF, 1, 0, 1.0, 0x047F, 1);  // double word, not retained
    EXPECT_EQ(t[2], 0x81);  // the address's low 8 bits
    EXPECT_EQ(t[3], 0x32);
    EXPECT_EQ(Bytes(t.begin() + 11, t.end()), (Bytes{0x04, 0x7F, 0x40, 0x00}));
    BuildWriteTelegram(t, 1, 0x2FF, 4, 1, 1.0, 0, 0);
    EXPECT_EQ(t[3], 0xD2);
    BuildWriteTelegram(t, 1, 1, 2, 0, 1.0, 0, 0);
    EXPECT_EQ(t[3], 0x20);

    EXPECT_EQ(BuildProcessTelegram(t, 1, 0x047F, 1), 8);
    EXPECT_EQ(WithBcc(t), (Bytes{0x02, 0x06, 0x01, 0x04, 0x7F, 0x40, 0x00, 0x3E}));
    BuildProcessTelegram(t, 1, 0, 3);
    EXPECT_EQ(Bytes(t.begin() + 5, t.end()), (Bytes{0xC0, 0x00}));
    BuildProcessTelegram(t, 1, 0, 5);  // larger references wrap
    EXPECT_EQ(Bytes(t.begin() + 5, t.end()), (Bytes{0x40, 0x00}));

    EXPECT_EQ(BuildTextWriteTelegram(t, 1, 621, u"", 0, 0), 12);
    EXPECT_EQ(t.size(), 11u);
    EXPECT_EQ(t[1], 10);
    EXPECT_EQ(BuildTextWriteTelegram(t, 1, 621, u"机型A", 0, 1), 17);
    EXPECT_EQ(Bytes(t.begin() + 7, t.end()), (Bytes{0xBB, 0xFA, 0xD0, 0xCD, 'A', 0, 0, 0x40, 0}));
}

TEST(DriveTelegram, RequestsTheDriveCannotBeSentAreNeverBuilt) {
    DriveTelegram t;
    for (int32_t parameter : {4096, -3, 8193}) {
        BuildReadTelegram(t, 1, parameter, 0);
        EXPECT_TRUE(t.empty()) << parameter;
        BuildWriteTelegram(t, 1, parameter, 0, 0, 1.0, 0, 0);
        EXPECT_TRUE(t.empty()) << parameter;
    }
    // A value the type cannot hold is never clamped or wrapped into one it can.
    for (const auto& [value, type] : std::vector<std::pair<double, int32_t>>{
             {65536.0, 3}, {-1.0, 3}, {-32769.0, 0}, {256.0, 2}, {std::nan(""), 4}, {1e300, 1}, {1.0, 7}}) {
        BuildWriteTelegram(t, 1, 204, type, 0, value, 0, 0);
        EXPECT_TRUE(t.empty()) << value << " as type " << type;
    }
    BuildWriteTelegram(t, 1, 204, 3, 0, 65535.9, 0, 0);
    EXPECT_EQ(t.size(), 15u);
    BuildReadTelegram(t, 1, 4095, 0);
    EXPECT_EQ(t[3], 0x1F);
    EXPECT_EQ(BuildTextWriteTelegram(t, 1, 1, std::u16string(246, u'x'), 0, 0), 258);
    EXPECT_TRUE(t.empty());
    EXPECT_EQ(BuildTextWriteTelegram(t, 1, 1, std::u16string(123, u'中'), 0, 0), 258);  // 246 bytes
    EXPECT_TRUE(t.empty());
    BuildTextWriteTelegram(t, 1, 1, std::u16string(245, u'x'), 0, 0);
    EXPECT_EQ(t[1], 255);
}

TEST(ParameterValue, WritesTruncateTowardZeroWithinTheTypesRange) {
    using Field = std::array<uint8_t, 4>;
    EXPECT_EQ(EncodeParameterValue(-5.0, 0), (Field{0, 0, 0xFF, 0xFB}));
    EXPECT_EQ(EncodeParameterValue(0.7 / 0.1, 0), (Field{0, 0, 0, 6}));
    EXPECT_EQ(EncodeParameterValue(-2.9, 1), (Field{0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(EncodeParameterValue(255.9, 2), (Field{0, 0, 0, 0xFF}));
    EXPECT_EQ(EncodeParameterValue(65535.0, 3), (Field{0, 0, 0xFF, 0xFF}));
    EXPECT_EQ(EncodeParameterValue(4294967295.0, 4), (Field{0xFF, 0xFF, 0xFF, 0xFF}));
    // Outside the range the value is held at its nearest end, never wrapped around.
    EXPECT_EQ(EncodeParameterValue(70000.0, 0), (Field{0, 0, 0x7F, 0xFF}));
    EXPECT_EQ(EncodeParameterValue(-1.0, 3), (Field{0, 0, 0, 0}));
    EXPECT_EQ(EncodeParameterValue(1e30, 1), (Field{0x7F, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(EncodeParameterValue(std::nan(""), 4), (Field{0, 0, 0, 0}));
    EXPECT_EQ(EncodeParameterValue(-std::numeric_limits<double>::infinity(), 1), (Field{0x80, 0, 0, 0}));
    EXPECT_EQ(ValueToHexDigits(-5.0, 'T', 4), "FFFB");
    EXPECT_EQ(ValueToHexDigits(26.0, 'P', 2), "1A");
}

TEST(ParameterValue, RepliesDecodeFromFixedOffsetsAndTheEnd) {
    const Bytes reply = WithBcc({0x02, 0x0E, 0x01, 0x10, 0x66, 0, 0, 0x12, 0x34, 0xFF, 0xFB, 0x06, 0x07, 0x7F, 0xFF});
    EXPECT_EQ(DecodeParameterValue(reply, 0, 1.0), -5.0);
    EXPECT_EQ(DecodeParameterValue(reply, 3, 1.0), 65531.0);
    EXPECT_EQ(DecodeParameterValue(reply, 2, 100.0), 25100.0);
    EXPECT_EQ(DecodeParameterValue(reply, 1, 1.0), static_cast<double>(static_cast<int32_t>(0x1234FFFBu)));
    EXPECT_EQ(DecodeParameterValue(reply, 4, 0.001), 0x1234FFFBu * 0.001);
    EXPECT_EQ(ReplyStatusWord(reply), 0x0607);
    EXPECT_EQ(ReplyMainActualValue(reply), 1);
    const Bytes process = WithBcc({0x02, 0x06, 0x01, 0x0F, 0x03, 0xC0, 0x00});
    EXPECT_EQ(ReplyStatusWord(process), 0x0F03);
    EXPECT_EQ(ReplyMainActualValue(process), 3);

    Bytes text = {0x02, 28, 0x01, 0xF2, 0x6D, 0x04, 0x00};
    for (char c : std::string("VLT5004 380-500V")) text.push_back(static_cast<uint8_t>(c));
    text.insert(text.end(), {0, 'x', 0x06, 0x07, 0x40, 0x00});
    AppendBcc(text);
    ASSERT_EQ(text.size(), 30u);
    EXPECT_EQ(DecodeParameterText(text), u"VLT5004 380-500V");
    EXPECT_EQ(ReplyStatusWord(text), 0x0607);
}

TEST(ParameterValue, DecimalTextsReadAsSinglePrecision) {
    EXPECT_EQ(DecimalTextToValue(u" 12.5"), 12.5);
    EXPECT_EQ(DecimalTextToValue(u"0.7"), static_cast<double>(0.7f));
    EXPECT_EQ(DecimalTextToValue(u"-3abc"), -3.0);
    EXPECT_EQ(DecimalTextToValue(u"abc"), 0.0);
    EXPECT_EQ(DecimalTextToValue(u"1e3"), 1000.0);
}

class ExchangeTest : public ::testing::Test {
protected:
    int32_t Exchange(DriveTelegram request, Bytes reply, int32_t expected = 16) {
        if (!reply.empty()) port.Arrive(clock.now + 5, std::move(reply));
        last = std::move(request);
        return ExchangeTelegram(device, io, last, expected);
    }
    Bytes ReadRequest(int32_t parameter) {
        DriveTelegram t;
        BuildReadTelegram(t, 1, parameter, 0);
        return t;
    }
    Bytes Reply(uint8_t pkeHigh, uint8_t pkeLow) {
        return WithBcc({0x02, 0x0E, 0x01, pkeHigh, pkeLow, 0, 0, 0, 0, 0x01, 0xF4, 0x06, 0x07, 0x40, 0x00});
    }

    ScriptedClock clock;
    ScriptedPort port{clock};
    SerialIo io{port, clock};
    DeviceInstance device{{0, 0, 0}, nullptr, nullptr, kSerialPortKind, KorvanPortHandle(7)};
    DriveTelegram last;
};

TEST_F(ExchangeTest, AGoodReplyReplacesTheRequest) {
    EXPECT_EQ(Exchange(ReadRequest(102), Reply(0x10, 0x66)), 16);
    EXPECT_EQ(last, Reply(0x10, 0x66));
    EXPECT_EQ(port.written.back(), WithBcc(ReadRequest(102)));
    EXPECT_EQ(Exchange(ReadRequest(102), Reply(0x18, 0x66)), 16);  // the spontaneous flag is ignored
}

TEST_F(ExchangeTest, FailuresAreToldApart) {
    EXPECT_EQ(Exchange(ReadRequest(102), {}), kNoReply);
    EXPECT_EQ(clock.now, 210u);  // the default wait time without a device state
    Bytes corrupted = Reply(0x10, 0x66);
    corrupted[9] ^= 0x01;
    EXPECT_EQ(Exchange(ReadRequest(102), corrupted), kBadReply);
    EXPECT_EQ(Exchange(ReadRequest(102), Reply(0x10, 0x67)), kBadReply);  // another parameter's reply
    EXPECT_EQ(Exchange(ReadRequest(102), Reply(0x70, 0x66)), kRefused);
    EXPECT_EQ(Exchange(ReadRequest(102), Reply(0x80, 0x66)), kRefused);
    EXPECT_EQ(Exchange(ReadRequest(102), WithBcc({0x02, 0x0E, 0x01, 0x10, 0x66, 0, 0, 0})), kBadReply);  // short
    EXPECT_EQ(Exchange(ReadRequest(102), {0x02, 0x0E, 0x0C}), kBadReply);  // under 4 bytes
    const auto writes = port.written.size();
    EXPECT_EQ(Exchange(ReadRequest(4096), Reply(0x10, 0x66)), kUnusableRequest);
    EXPECT_EQ(port.written.size(), writes);  // nothing went on the line
}

TEST_F(ExchangeTest, ANegativeWaitTimeWaitsAsLongAsTheDefault) {
    DeviceState& state = CreateState(device);
    state.deviceSettings.Append(1);
    state.deviceSettings.Append(-1);
    EXPECT_EQ(Exchange(ReadRequest(102), {}), kNoReply);
    EXPECT_EQ(clock.now, 210u);
    DestroyState(device);
}

TEST_F(ExchangeTest, ProcessRepliesAreNotComparedAndATextReplyEndsWhereItsLengthSays) {
    DriveTelegram process;
    BuildProcessTelegram(process, 1, 0x047F, 1);
    EXPECT_EQ(Exchange(process, WithBcc({0x02, 0x06, 0x01, 0x0F, 0x03, 0x40, 0x00}), 8), 8);
    DriveTelegram text;
    BuildReadTelegram(text, 1, 621, 5);
    const Bytes shortText = WithBcc({0x02, 0x0D, 0x01, 0xF2, 0x6D, 0x04, 0x00, 'V', 'L', 'T', 0x06, 0x07, 0x40, 0x00});
    Bytes thenNoise = shortText;
    thenNoise.insert(thenNoise.end(), {0x02, 0x0E, 0x01});
    port.missingNotes.clear();
    EXPECT_EQ(Exchange(text, thenNoise, 30), 15);  // whole at the 15 bytes it announces
    EXPECT_LT(clock.now, 200u);                    // without waiting for the time-out
    EXPECT_EQ(DecodeParameterText(last), u"VLT");
    EXPECT_EQ(port.missingNotes.front(), 3u);  // before the length byte, the header is what is missing
}

}  // namespace
}  // namespace korvan
