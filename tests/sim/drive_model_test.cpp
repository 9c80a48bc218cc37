// The simulated drive: control word and reference, motor and status, parameter access.
#include <gtest/gtest.h>

#include "tests/sim/sim_requests.h"
#include "tools/korvan-sim/address_match.h"
#include "tools/korvan-sim/drive_model.h"
#include "tools/korvan-sim/parameter_loader.h"
#include "tools/korvan-sim/simulator.h"

namespace korvansim {
namespace {

using simtest::kHalf;
using simtest::kIdle;
using simtest::kStart;
using simtest::kStop;
using simtest::Parameter;
using simtest::Process;

constexpr std::uint16_t kRunning = 0x0E07;     // running, not yet at the reference
constexpr std::uint16_t kAtReference = 0x0F07;
constexpr std::uint16_t kRamp2 = 0x0200;
constexpr std::uint16_t kJog = 0x0100;
constexpr std::uint16_t kReverse = 0x8000;
constexpr std::uint16_t kReset = 0x0080;

const ParameterTable& Table() {
    static const Result<ParameterTable> table = LoadParameterTable(DefaultParameterFile());
    return *table;
}

class DriveModelTest : public ::testing::Test {
protected:
    Telegram Send(const Telegram& request, std::int64_t afterUs = 10000) {
        now += afterUs;
        return drive.Answer(request, now);
    }
    double Hz() const { return static_cast<double>(drive.FrequencyUhz()) / 1e6; }
    std::int64_t Ram(std::uint16_t pnu, std::uint16_t index = 0) const { return *drive.Store().Value(pnu, index, Copy::Ram); }
    std::int64_t Eeprom(std::uint16_t pnu) const { return *drive.Store().Value(pnu, 0, Copy::Eeprom); }

    DriveModel drive{1, Table()};
    std::int64_t now = 0;
};

TEST_F(DriveModelTest, ControlWordCountsOnlyWithBit10InAnyTelegram) {
    Send(Process(simtest::kIgnored, kHalf));
    Send(Parameter(ak::kRead, 202, 0, 0, simtest::kIgnored, kHalf), 1000000);
    EXPECT_EQ(Hz(), 0.0);
    EXPECT_EQ(drive.StatusWord(), kIdle);

    Send(Parameter(ak::kRead, 202, 0, 0, kStart, kHalf));  // a read request carries the start
    Send(Process(0, 0), 1500000);                          // and a word without bit 10 keeps it
    EXPECT_DOUBLE_EQ(Hz(), 25.0);
}

TEST_F(DriveModelTest, StartRampsToTheReferenceAndStatusLagsOneTelegram) {
    const Telegram first = Send(Process(kStart, kHalf));
    EXPECT_EQ(first.kind, TelegramKind::Process);
    EXPECT_EQ(first.pcd1, kIdle);  // the status from before the start
    EXPECT_EQ(first.pcd2, 0);

    const Telegram ramping = Send(Process(kStart, kHalf), 600000);  // 3.00 s per 50 Hz
    EXPECT_EQ(ramping.pcd1, kRunning);
    EXPECT_EQ(ramping.pcd2, 3276);  // 10 Hz of 50 Hz × 16384
    const Telegram there = Send(Process(kStart, kHalf), 1000000);
    EXPECT_EQ(there.pcd1, kAtReference);
    EXPECT_EQ(there.pcd2, 0x2000);
    EXPECT_EQ(Ram(518), 250);  // 25.0 Hz
    EXPECT_EQ(Ram(520), 325);  // 1.50 A + 3.50 A × 0.5
    EXPECT_EQ(Ram(537), 42);

    Send(Process(kStop, kHalf));
    Send(Process(kStop, kHalf), 600000);
    EXPECT_DOUBLE_EQ(Hz(), 15.0);
    Send(Process(kStop, kHalf), 1000000);
    EXPECT_EQ(Hz(), 0.0);
    EXPECT_EQ(Send(Process(kStop, kHalf)).pcd1, kIdle);
    EXPECT_EQ(Ram(520), 0);
}

TEST_F(DriveModelTest, RampTwoJogAndReversing) {
    Send(Process(kStart | kRamp2, 0x4000));
    Send(Process(kStart | kRamp2, 0x4000), 600000);  // 6.00 s per 50 Hz
    EXPECT_DOUBLE_EQ(Hz(), 5.0);

    Send(Process(kStart | kJog, 0));
    Send(Process(kStart | kJog, 0), 3000000);
    EXPECT_DOUBLE_EQ(Hz(), 10.0);  // par 213

    Send(Process(kStart | kReverse, 0x4000));
    Send(Process(kStart | kReverse, 0x4000), 10000000);
    EXPECT_DOUBLE_EQ(Hz(), -50.0);
    EXPECT_EQ(drive.MainActual(), 0xC000);
    Send(Process(kStart, 0xE000));  // a negative reference reverses too: -25 Hz
    Send(Process(kStart, 0xE000), 10000000);
    EXPECT_DOUBLE_EQ(Hz(), -25.0);
}

// The bus reference spans the reference range (par 203..205), not the output frequency limit
// (par 202), which only caps the output.
TEST(DriveModel, TheBusReferenceSpansTheReferenceRange) {
    const struct {
        std::int64_t range, minimum, maximum;  // par 203; 204 and 205 in mHz
        std::uint16_t reference;
        double hz;
    } cases[] = {
        {0, 10000, 40000, 0x0000, 10.0},   // 0 % is the minimum reference
        {0, 10000, 40000, 0x1000, 17.5},   // 25 % of 10..40 Hz
        {0, 10000, 40000, 0x4000, 40.0},   // 100 % is the maximum reference, not par 202
        {0, 0, 80000, 0x4000, 50.0},       // par 202 caps the output
        {1, 10000, 40000, 0x2000, 20.0},   // -max..+max: 50 % of 40 Hz
        {1, 10000, 40000, 0xE000, -20.0},  // and a negative reference reverses
    };
    for (const auto& c : cases) {
        DriveModel drive(1, Table());
        drive.Store().SetValue(203, 0, c.range, true);
        drive.Store().SetValue(204, 0, c.minimum, true);
        drive.Store().SetValue(205, 0, c.maximum, true);
        drive.Answer(Process(kStart, c.reference), 10000);
        drive.Answer(Process(kStart, c.reference), 20000000);
        EXPECT_DOUBLE_EQ(static_cast<double>(drive.FrequencyUhz()) / 1e6, c.hz) << c.range << " " << c.reference;
    }
}

TEST_F(DriveModelTest, CoastingStopsAtOnceAndQuickStopUsesItsRamp) {
    Send(Process(kStart, 0x4000));
    Send(Process(kStart, 0x4000), 3000000);
    Send(Process(kStart & ~0x0008u, 0x4000));  // bit 3 = 0: coast
    Send(Process(0, 0), 1);
    EXPECT_EQ(Hz(), 0.0);

    Send(Process(kStart, 0x4000));
    Send(Process(kStart, 0x4000), 3000000);
    Send(Process(kStart & ~0x0010u, 0x4000));  // bit 4 = 0: quick stop, 1.00 s per 50 Hz
    Send(Process(0, 0), 500000);
    EXPECT_DOUBLE_EQ(Hz(), 25.0);
}

TEST_F(DriveModelTest, TripIsResetOnlyByARisingEdgeOfBit7) {
    drive.Trip(12, now);
    EXPECT_EQ(drive.StatusWord() & 0x000A, 0x0008);  // trip set, drive-ready cleared
    EXPECT_EQ(Ram(538), 1 << 12);
    EXPECT_EQ(Ram(615, 1), 12);
    Send(Process(kStart, kHalf));
    Send(Process(kStart, kHalf), 1000000);
    EXPECT_EQ(Hz(), 0.0);

    Send(Process(kStop | kReset, 0));
    EXPECT_EQ(drive.StatusWord(), kIdle);
    drive.Trip(7, now);
    Send(Process(kStop | kReset, 0));  // bit 7 still high: no edge
    EXPECT_NE(drive.StatusWord() & 0x0008, 0);
    Send(Process(kStop, 0));
    Send(Process(kStop | kReset, 0));
    EXPECT_EQ(drive.StatusWord(), kIdle);
    EXPECT_EQ(Ram(615, 1), 7);
    EXPECT_EQ(Ram(615, 2), 12);
}

TEST_F(DriveModelTest, ReadsAndWritesKeepRamAndEepromApart) {
    const Telegram read = Send(Parameter(ak::kRead, 202));
    EXPECT_EQ(read.ak, ak::kWordValue);
    EXPECT_EQ(read.pnu, 202);
    EXPECT_EQ(read.value, 500u);
    EXPECT_EQ(Send(Parameter(ak::kRead, 520)).ak, ak::kDoubleValue);

    const Telegram ram = Send(Parameter(ak::kWriteWord, 202, 0x0500, 400));
    EXPECT_EQ(ram.ak, ak::kWordValue);
    EXPECT_EQ(ram.index, 0x0500);
    EXPECT_EQ(ram.value, 400u);
    EXPECT_EQ(Ram(202), 400);
    EXPECT_EQ(Eeprom(202), 500);
    Send(Parameter(ak::kWriteWordEeprom, 202, 0x0500, 450));
    EXPECT_EQ(Eeprom(202), 450);
    const Telegram dword = Send(Parameter(ak::kWriteDoubleEeprom, 207, 0x0500, 150));
    EXPECT_EQ(dword.ak, ak::kDoubleValue);
    EXPECT_EQ(Eeprom(207), 150);
    EXPECT_EQ(Send(Parameter(ak::kWriteDouble, 208, 0x0500, 120)).value, 120u);
    EXPECT_EQ(Eeprom(208), 300);
}

TEST_F(DriveModelTest, RefusalsCarryTheDrivesErrorNumbers) {
    const struct {
        Telegram request;
        std::uint32_t error;
    } cases[] = {
        {Parameter(ak::kRead, 999), 0},
        {Parameter(ak::kWriteWord, 518, 0x0500, 5), 1},
        {Parameter(ak::kWriteWordEeprom, 202, 0x0500, 10001), 2},
        {Parameter(ak::kWriteWord, 1, 0x0500, 0x0100), 2},  // uint8 above 255
        {Parameter(ak::kRead, 615, 0), 3},
        {Parameter(ak::kRead, 615, 11), 3},
        {Parameter(ak::kRead, 202, 1), 4},
        {Parameter(ak::kWriteWord, 207, 0x0500, 100), 5},
        {Parameter(ak::kWriteDouble, 202, 0x0500, 100), 5},
        {Parameter(ak::kRead, 621), 5},
        {Parameter(ak::kText, 202, 0x0400), 5},
        {Parameter(ak::kWriteWordEeprom, 500, 0x0500, 5), 130},
        {Parameter(4, 202, 1), 17},
    };
    for (const auto& c : cases) {
        const Telegram reply = Send(c.request);
        EXPECT_EQ(reply.ak, ak::kCannotExecute) << c.request.pnu;
        EXPECT_EQ(reply.value, c.error) << c.request.pnu;
        EXPECT_EQ(reply.pnu, c.request.pnu);
    }
    EXPECT_EQ(Ram(202), 500);
    Send(Process(kStart, kHalf));
    EXPECT_EQ(Send(Parameter(ak::kWriteWord, 203, 0x0500, 1)).value, 17u);  // only when stopped
}

TEST_F(DriveModelTest, TextsAreReadPaddedAndWrittenInCodePage936) {
    const Telegram unit = Send(Parameter(ak::kText, 621, 0x0400));
    EXPECT_EQ(unit.kind, TelegramKind::Text);
    EXPECT_EQ(unit.ak, ak::kTextValue);
    EXPECT_EQ(unit.index, 0x0400);
    EXPECT_EQ(std::string(unit.text.begin(), unit.text.end()), "VLT5005 380-500V  ");

    const std::vector<std::uint8_t> gbk{0xB1, 0xE4, 0xC6, 0xB5, 0xC6, 0xF7};  // 变频器
    const Telegram written = Send(simtest::TextWrite(534, gbk));
    EXPECT_EQ(written.kind, TelegramKind::Text);
    EXPECT_EQ(written.text, gbk);
    EXPECT_EQ(*drive.Store().Text(534, Copy::Eeprom), gbk);

    EXPECT_EQ(Send(simtest::TextWrite(533, std::vector<std::uint8_t>(21, 'x'))).value, 2u);
    EXPECT_EQ(Send(simtest::TextWrite(621, {'x'})).value, 1u);
    Telegram wrongIndex = simtest::TextWrite(533, {'a', 'b', 'c'});
    wrongIndex.index = 0x0400;
    EXPECT_EQ(Send(wrongIndex).value, 3u);
}

TEST_F(DriveModelTest, LocalOperationAndWarningsShowInTheStatusWord) {
    drive.Store().SetValue(540, 0, 4, false);
    EXPECT_EQ(drive.StatusWord(), kIdle | 0x0080);
    Send(Parameter(ak::kWriteWord, 2, 0x0500, 1));  // local operation
    Send(Process(kStart, kHalf));
    Send(Process(kStart, kHalf), 1000000);
    EXPECT_EQ(Hz(), 0.0);
    EXPECT_EQ(drive.StatusWord() & 0x0200, 0);
}

TEST_F(DriveModelTest, BroadcastsAreCarriedOut) {
    drive.Act(Parameter(ak::kWriteWord, 202, 0x0500, 400, kStart, 0x4000), 0);
    drive.AdvanceTo(10000000);
    EXPECT_DOUBLE_EQ(Hz(), 40.0);
}

TEST(AddressMatch, TakesBothFormatsAndKnowsBroadcasts) {
    EXPECT_EQ(MatchAddress(0x01, 1), AddressMatch::Exact);
    EXPECT_EQ(MatchAddress(0x81, 1), AddressMatch::Exact);
    EXPECT_EQ(MatchAddress(0x41, 1), AddressMatch::ShortForm);  // 1-31 format, bit 6 unused
    EXPECT_EQ(MatchAddress(0x80, 1), AddressMatch::Broadcast);
    EXPECT_EQ(MatchAddress(0x21, 1), AddressMatch::Broadcast);
    EXPECT_EQ(MatchAddress(0x02, 1), AddressMatch::Foreign);
    EXPECT_EQ(MatchAddress(0x82, 1), AddressMatch::Foreign);
    EXPECT_EQ(MatchAddress(0x21, 33), AddressMatch::Exact);  // the plain address wins
    EXPECT_EQ(MatchAddress(0xFE, 126), AddressMatch::Exact);
}

}  // namespace
}  // namespace korvansim
