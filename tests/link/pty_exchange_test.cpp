// Exchanges over a real pseudo-terminal with the simulated drive: the system port,
// the system clock and the drive's faults.
#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>

#include "driver/device_state.h"
#include "link/drive_telegram.h"
#include "link/parameter_value.h"
#include "platform/system/system_serial_port.h"
#include "tests/support/sim_line.h"

namespace korvan {
namespace {

using korvansim::FaultKind;
using Clock = std::chrono::steady_clock;

class PtyExchangeTest : public ::testing::Test {
protected:
    PtyExchangeTest() : line(testing::SimLine::Unpaced()) {
        device.portKind = kSerialPortKind;
        device.portHandle = line.Fd();
    }
    // Reads parameter `number` as a 16-bit unsigned value; the exchange's result.
    int32_t Read(int32_t number, DriveTelegram& reply, int32_t type = 3) {
        platform::SystemSerialPort port(device.portHandle);
        platform::SystemClock clock;
        SerialIo io{port, clock};
        const int32_t expected = BuildReadTelegram(reply, 1, number, type);
        return ExchangeTelegram(device, io, reply, expected);
    }
    double Milliseconds(Clock::time_point since) {
        return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
    }

    testing::SimLine line;
    DeviceInstance device{};
    DriveTelegram reply;
};

TEST_F(PtyExchangeTest, AGoodExchangeCarriesTheDrivesValue) {
    EXPECT_EQ(Read(202, reply), 16);
    EXPECT_EQ(DecodeParameterValue(reply, 3, 0.1), *line.Drive().Value(1, 202) * 0.1);
    EXPECT_EQ(ReplyStatusWord(reply), *line.Drive().StatusWord(1));
    EXPECT_EQ(Read(621, reply, 5), 30);
    EXPECT_EQ(DecodeParameterText(reply), u"VLT5005 380-500V  ");
}

TEST_F(PtyExchangeTest, FaultsOnTheLineAreToldApart) {
    line.Drive().Faults().Script({FaultKind::Drop, FaultKind::CorruptBcc, FaultKind::WrongPnu, FaultKind::Refuse,
                                  FaultKind::Split, FaultKind::Noise});
    auto start = Clock::now();
    EXPECT_EQ(Read(202, reply), kNoReply);
    EXPECT_GE(Milliseconds(start), 200.0);  // the default wait time, not much more
    EXPECT_LT(Milliseconds(start), 2000.0);
    EXPECT_EQ(Read(202, reply), kBadReply);
    EXPECT_EQ(Read(202, reply), kBadReply);
    EXPECT_EQ(Read(202, reply), kRefused);
    EXPECT_EQ(Read(202, reply), 16);  // gathered across several polls
    EXPECT_EQ(Read(202, reply), kBadReply);  // noise before the reply takes the count's place
    EXPECT_EQ(Read(202, reply), 16);
}

TEST_F(PtyExchangeTest, ALateReplyIsNotTakenForTheNextOne) {
    korvansim::FaultSettings settings = line.Drive().Faults().Settings();
    settings.lateMs = 260;
    line.Drive().Faults().SetSettings(settings);
    line.Drive().Faults().Script({FaultKind::Late});
    EXPECT_EQ(Read(202, reply), kNoReply);
    pollfd late{line.Fd(), POLLIN, 0};
    ASSERT_EQ(poll(&late, 1, 5000), 1);  // the late reply has arrived
    EXPECT_EQ(Read(207, reply), 16);
    EXPECT_EQ(((reply[3] & 0x07) << 8) | reply[4], 207);
}

TEST_F(PtyExchangeTest, ParameterNumbersTheDriveCannotTakeSendNothing) {
    for (int32_t number : {4096, -3}) {
        const auto start = Clock::now();
        EXPECT_EQ(Read(number, reply), kUnusableRequest);
        EXPECT_LT(Milliseconds(start), 200.0);  // no wait for a reply
    }
    EXPECT_TRUE(line.Drive().TakeReplyLog().empty());
}

}  // namespace
}  // namespace korvan
