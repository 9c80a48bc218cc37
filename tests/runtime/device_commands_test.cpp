#include "runtime/device_commands.h"

#include "link/drive_telegram.h"

#include "tests/support/runtime_fixture.h"

namespace korvan {
namespace {

using Bytes = std::vector<uint8_t>;

class CommandTest : public testing::RuntimeTest {
protected:
    CommandTest() {
        UseChannels({{.access = kReadWrite, .type = 0, .number = 201, .conversion = 4},
                     {.access = kReadOnly, .type = 1, .number = 520},
                     {.access = kReadWrite, .type = 5, .number = 621},
                     {.access = kWriteOnly, .type = 4, .number = 300, .conversion = 3, .retain = 1}});
        hostkit::Set(results.raw, {0.0, 0.0, 0.0, 0x047F, 1.0});
    }
    int32_t Run(std::u16string_view text) { return ExecuteCommandText(device, io, text, results.raw); }
    Bytes Sent(std::size_t from, std::size_t to) const {
        const Bytes& last = port.written.back();
        return Bytes(last.begin() + static_cast<std::ptrdiff_t>(from), last.begin() + static_cast<std::ptrdiff_t>(to));
    }
    uint8_t SentCommand() const { return port.written.back()[3] >> 4; }

    hostkit::DoubleArray results;
};

TEST_F(CommandTest, WordsAreTrimmedAndUpperCasedAndArgumentsTrimmed) {
    host.Declare(u"F", 0.0f);
    drive.value = 500;
    EXPECT_EQ(Run(u"  read( 201 , -1, 0 , F )"), 1);
    EXPECT_EQ(std::get<float>(*host.Value(u"F")), 50.0f);
    EXPECT_EQ(Run(u"no parentheses"), 0);
    EXPECT_EQ(Run(u"LOOK(201,0,0,F)"), 0);
    EXPECT_EQ(port.written.size(), 1u);
}

TEST_F(CommandTest, ChainedCommandsRunLastFirstAndReportTheFirst) {
    EXPECT_EQ(Run(u"WRITE(201,0,0,0,5)READ(201,0,0,X)"), 1);
    ASSERT_EQ(port.written.size(), 2u);
    EXPECT_EQ(port.written[0][3] >> 4, kAkRead);
    EXPECT_EQ(port.written[1][3] >> 4, kAkWriteWord);
    port.responder = nullptr;
    EXPECT_EQ(Run(u"WRITE(201,0,0,0,5) READ(201,0,0,X)"), kWriteFailed);
    port.responder = [this](const Bytes& r) { return drive.Answer(r); };
    // A comma between commands becomes part of the next word, which matches nothing.
    EXPECT_EQ(Run(u"READ(201,0,0,X), WRITE(201,0,0,0,5)"), 1);
    EXPECT_EQ(SentCommand(), kAkRead);
    EXPECT_EQ(Run(u"x)READ(201,0,0,X)"), 0);  // the ")" before the "(": no arguments, word "X)READ"
}

TEST_F(CommandTest, UnusableArgumentsSendNothing) {
    EXPECT_EQ(Run(u"READ(201,0,0)"), kUnusableArguments);
    EXPECT_EQ(Run(u"WRITE(201,0,0,0)"), kUnusableArguments);
    EXPECT_EQ(Run(u"WRITE(621,0,5,0,abc)"), kUnusableArguments);
    EXPECT_EQ(Run(u"READ(4096,0,0,X)"), kUnusableArguments);
    EXPECT_EQ(Run(u"WRITE(-3,0,0,0,1)"), kUnusableArguments);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(Run(u"READ(-0.5,0,3,X)"), 1);  // the integer part, 0, is a parameter number
    EXPECT_EQ(port.written.back()[4], 0);
    EXPECT_EQ(Run(u"WRITE(4095.5,0,3,0,1)"), 1);
    EXPECT_EQ(port.written.back()[4], 0xFF);
}

TEST_F(CommandTest, ReadDeliversIntoTheVariablesTypeWithTheIndexesFactor) {
    host.Declare(u"I", int32_t{0});
    host.Declare(u"F", 0.0f);
    host.Declare(u"T", std::u16string(u"old"));
    drive.value = 1234;
    drive.statusWord = 0x0F03;
    drive.actualValue = 0x8000;
    EXPECT_EQ(Run(u"READ(205,-3,1,F)"), 1);
    EXPECT_EQ(std::get<float>(*host.Value(u"F")), 1.234f);
    EXPECT_EQ(hostkit::Values(results.raw), (std::vector<double>{0.0, 2.0, 0x0F03, 0x047F, 1.0}));
    EXPECT_EQ(Run(u"READ(205,74,1,I)"), 1);
    EXPECT_EQ(std::get<int32_t>(*host.Value(u"I")), 123);  // 123.4 truncated
    drive.text = "VLT5004";
    EXPECT_EQ(Run(u"READ(621,0,5,T)"), 1);
    EXPECT_EQ(Sent(3, 7), (Bytes{0xF2, 0x6D, 0x04, 0x00}));
    EXPECT_EQ(std::get<std::u16string>(*host.Value(u"T")), u"VLT5004");
    drive.refuse = true;
    EXPECT_EQ(Run(u"READ(205,0,1,I)"), kRefused);
    port.responder = nullptr;
    EXPECT_EQ(Run(u"READ(205,0,1,I)"), kNoReply);
    EXPECT_EQ(std::get<int32_t>(*host.Value(u"I")), 123);
}

TEST_F(CommandTest, WriteChoosesTheCommandByTypeAndSaveFlag) {
    EXPECT_EQ(Run(u"WRITE(204,0,3,1,1500)"), 1);
    EXPECT_EQ(Sent(3, 15), (Bytes{0xE0, 0xCC, 0x05, 0x00, 0, 0, 0x05, 0xDC, 0x04, 0x7F, 0x40, 0x00}));
    Run(u"WRITE(204,0,1,1,7)");
    EXPECT_EQ(SentCommand(), kAkWriteDoubleWordRetained);
    Run(u"WRITE(204,0,1,0,7)");
    EXPECT_EQ(SentCommand(), kAkWriteDoubleWord);
    Run(u"WRITE(204,-2,0,0,-0.05)");
    EXPECT_EQ(Sent(7, 11), (Bytes{0, 0, 0xFF, 0xFB}));
    drive.refuse = true;
    EXPECT_EQ(Run(u"WRITE(204,0,0,0,1)"), kWriteFailed);
    hostkit::Set(results.raw, {0.0});  // no control word or reference: both 0
    drive.refuse = false;
    Run(u"WRITE(204,0,0,0,1)");
    EXPECT_EQ(Sent(11, 15), (Bytes{0, 0, 0, 0}));
}

TEST_F(CommandTest, ATextTypeWithAFractionWritesTheTextOfAVariable) {
    host.Declare(u"NAME", std::u16string(u"泵1"));
    EXPECT_EQ(Run(u"WRITE(622,0,5.5,0,NAME)"), 1);
    EXPECT_EQ(Sent(3, 11), (Bytes{0xF2, 0x6E, 0x05, 0x00, 0xB1, 0xC3, '1', 0x04}));
}

TEST_F(CommandTest, ChannelWritesScaleTruncateAndLatchTheProcessData) {
    EXPECT_EQ(Run(u"ZELK_WRITE(5 = 12.5)"), 1);
    EXPECT_EQ(Sent(7, 11), (Bytes{0, 0, 0, 125}));
    Run(u"ZELK_WRITE(5=0.7)");
    EXPECT_EQ(Sent(7, 11), (Bytes{0, 0, 0, 6}));  // read in single precision, truncated
    Run(u"ZELK_WRITE(8=1)");
    EXPECT_EQ(SentCommand(), kAkWriteDoubleWordRetained);

    EXPECT_EQ(Run(u"ZELK_WRITE(7= 泵 A )"), 1);
    EXPECT_EQ(Sent(0, 2), (Bytes{0x02, 14}));  // four text bytes
    EXPECT_EQ(Sent(7, 10), (Bytes{0xB1, 0xC3, ' '}));

    const std::size_t before = port.written.size();
    EXPECT_EQ(Run(u"ZELK_WRITE(3=5)"), 1);
    EXPECT_EQ(port.written.back(), (Bytes{0x02, 0x06, 0x01, 0x04, 0x7F, 0x40, 0x00, 0x3E}));
    EXPECT_EQ(Run(u"ZELK_WRITE(4=5)"), 1);  // the latch is set: nothing more is sent
    EXPECT_EQ(Run(u"ZELK_WRITE(0=5)"), kUnusableArguments);  // no such channel
    EXPECT_EQ(Run(u"ZELK_WRITE(9=5)"), kUnusableArguments);
    EXPECT_EQ(Run(u"ZELK_WRITE(1=5)"), kUnusableArguments);  // read only
    EXPECT_EQ(Run(u"ZELK_WRITE(6=5)"), kUnusableArguments);
    EXPECT_EQ(Run(u"ZELK_WRITE(5)"), 0);
    EXPECT_EQ(port.written.size(), before + 1);
}

TEST_F(CommandTest, AFailedChannelWriteIsReportedAndKeepsTheLatch) {
    port.responder = nullptr;
    EXPECT_EQ(Run(u"ZELK_WRITE(4=1)"), kWriteFailed);
    EXPECT_EQ(State().controlWriteLatch, 1);
    EXPECT_EQ(Run(u"ZELK_WRITE(5=1)"), kWriteFailed);
    State().channelTable->GetAt(4).SetInteger(attr::kParameterNumber, 4096);
    const std::size_t before = port.written.size();
    EXPECT_EQ(Run(u"ZELK_WRITE(5=1)"), kWriteFailed);
    EXPECT_EQ(port.written.size(), before);
}

TEST_F(CommandTest, ManyChainedCommandsAndStrayParenthesesTakeLinearTime) {
    std::u16string text;
    for (int i = 0; i < 100000; ++i) text += u"X()";
    text += u"READ(201,0,0,V)";
    EXPECT_EQ(Run(text), 0);
    EXPECT_EQ(port.written.size(), 1u);
    EXPECT_EQ(Run(std::u16string(200000, u')') + u"("), 0);
}

}  // namespace
}  // namespace korvan
