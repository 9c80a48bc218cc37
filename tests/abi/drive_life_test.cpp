// A device's whole working life through the built driver, against the simulated
// drive on a pseudo-terminal, every value checked against what the drive holds.
#include <gtest/gtest.h>

#include <termios.h>

#include <cmath>

#include "tests/support/driver_fixture.h"
#include "tests/support/sim_line.h"
#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/host_automation.h"

namespace korvan {
namespace {

using Values = std::vector<double>;

class DriveLifeTest : public testing::DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        hostkit::BlobContent content;
        content.channels = hostkit::FixedChannels();
        content.channels.push_back(hostkit::Parameter(204, 1, 6, u"最小参考", 2));  // int32, 0.001
        content.channels.push_back(hostkit::Parameter(537, 2, 3, u"温度"));          // uint8
        content.channels.push_back(hostkit::Parameter(202, 3, 4, u"上限频率", 2));  // uint16, 0.1
        content.channels.push_back(hostkit::Parameter(213, 3, 4, u"点动频率"));     // uint16, 0.1
        content.channels.push_back(hostkit::Parameter(207, 4, 5, u"加速时间", 2));  // uint32, 0.01
        content.channels.push_back(hostkit::Parameter(621, 5, 3, u"机型"));
        device_.SetArchiveBytes(hostkit::EncodeBlob(content));
        device_.SetPort(2, line.Fd());
        IDispatch* object = host.HandOut();  // the driver takes this reference over
        Svr().SetRunIDispatch(&object);
        line.Drive().SetValue(1, 204, 0, -2500);
    }
    void TearDown() override {
        Svr().SetRunIDispatch(nullptr);  // released while the host's object still exists
        DriverTest::TearDown();
    }
    int32_t Collect(const std::vector<int32_t>& wanted) {
        hostkit::IntArray flags;
        hostkit::Set(flags.raw, wanted);
        return Svr().CollectDevData(Device(), &flags, &values, &texts);
    }
    double Command(const std::u16string& text, std::vector<double> elements = {0, 0, 0, 0x047C, 1}) {
        hostkit::String command;
        hostkit::Set(command.raw, text);
        hostkit::Set(results.raw, elements);
        EXPECT_EQ(Svr().DevIOCtrl(Device(), &command, &results, 0), 0);
        return hostkit::Values(results.raw)[0];
    }
    double DriveValue(uint16_t pnu, double factor) { return static_cast<double>(*line.Drive().Value(1, pnu)) * factor; }

    testing::SimLine line{testing::SimLine::Unpaced()};
    hostkit::HostAutomationObject host;
    hostkit::DoubleArray values;
    hostkit::StringArray texts;
    hostkit::DoubleArray results;
};

TEST_F(DriveLifeTest, CollectionCommandsAndExitAgreeWithTheDrive) {
    ASSERT_EQ(Svr().InitDevSet(Device()), 1);
    ASSERT_EQ(Svr().InitDevRun(Device()), 1);
    hostkit::Set(values.raw, Values(11, -1.0));
    hostkit::Set(texts.raw, std::vector<std::u16string>(11));
    // 100 calls, wanting one parameter channel per call in turn, over five read groups.
    for (int call = 0; call < 100; ++call) {
        std::vector<int32_t> wanted(11, 0);
        wanted[5 + static_cast<std::size_t>(call) % 6] = 1;
        ASSERT_EQ(Collect(wanted), 0) << call;
        const Values got = hostkit::Values(values.raw);
        ASSERT_EQ(got[0], 0.0);
        ASSERT_EQ(got[2], *line.Drive().StatusWord(1));
        ASSERT_EQ(got[1], *line.Drive().MainActualValue(1) / 16384);
    }
    const Values got = hostkit::Values(values.raw);
    EXPECT_EQ(got[5], DriveValue(204, 0.001));
    EXPECT_EQ(got[6], DriveValue(537, 1.0));
    EXPECT_EQ(got[7], DriveValue(202, 0.1));
    EXPECT_EQ(got[8], DriveValue(213, 0.1));
    EXPECT_EQ(got[9], DriveValue(207, 0.01));
    EXPECT_EQ(hostkit::Values(texts.raw)[10], u"VLT5005 380-500V  ");

    host.Declare(u"RAMP", 0.0f);
    EXPECT_EQ(Command(u"WRITE(208,-2,4,1,4.25)"), 0.0);
    EXPECT_EQ(*line.Drive().Value(1, 208, 0, korvansim::Copy::Eeprom), 425);
    EXPECT_EQ(Command(u"READ(208,-2,4,RAMP)"), 0.0);
    EXPECT_EQ(std::get<float>(*host.Value(u"RAMP")), 4.25f);
    EXPECT_EQ(Command(u"ZELK_WRITE(7 = 47.5)"), 0.0);
    EXPECT_EQ(Command(u"ZELK_WRITE(8 = 47.5)"), 300.0);  // read only: nothing sent
    EXPECT_EQ(*line.Drive().Value(1, 202), 475);
    EXPECT_EQ(Command(u"ZELK_WRITE(3=1)"), 0.0);  // the process telegram starts the motor
    EXPECT_GT(*line.Drive().StatusWord(1) & 0x0800, 0);  // running
    EXPECT_EQ(Svr().ExitDevRun(Device()), 1);
    EXPECT_EQ(Device()->deviceState, nullptr);
}

TEST_F(DriveLifeTest, ACollectionThatLoadsTheDeviceReadsByTheTableNotByStoredGroups) {
    hostkit::Set(values.raw, Values(11, -1.0));  // the archive stores no read groups
    std::vector<int32_t> wanted(11, 0);
    wanted[9] = 1;
    EXPECT_EQ(Collect(wanted), 0);
    EXPECT_EQ(hostkit::Values(values.raw)[9], DriveValue(207, 0.01));
}

TEST_F(DriveLifeTest, AChannelTheDriveLacksDoesNotStarveTheOtherGroups) {
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(204, 1, 6, u"最小参考", 2));
    content.channels.push_back(hostkit::Parameter(1999, 2, 3, u"温度"));  // a typo for 537
    content.channels.push_back(hostkit::Parameter(202, 3, 4, u"上限频率", 2));
    content.channels.push_back(hostkit::Parameter(207, 4, 5, u"加速时间", 2));
    device_.SetArchiveBytes(hostkit::EncodeBlob(content));
    Svr().InitDevRun(Device());
    hostkit::Set(values.raw, Values(9, -1.0));
    std::vector<int32_t> results;
    for (int call = 0; call < 8; ++call) {
        results.push_back(Collect(std::vector<int32_t>(9, 1)));
        if (results.back() != 0) {
            EXPECT_EQ(hostkit::Values(values.raw)[0], 4.0);
        }
    }
    EXPECT_EQ(results, (std::vector<int32_t>{0, -100, 0, 0, 0, -100, 0, 0}));
    const Values got = hostkit::Values(values.raw);
    EXPECT_EQ(got[5], DriveValue(204, 0.001));
    EXPECT_EQ(got[6], -1.0);
    EXPECT_EQ(got[7], DriveValue(202, 0.1));
    EXPECT_EQ(got[8], DriveValue(207, 0.01));
}

TEST_F(DriveLifeTest, TheDrivesRefusalAndASilentDriveAreReported) {
    Svr().InitDevSet(Device());
    hostkit::Set(values.raw, Values(11, -1.0));
    hostkit::Set(texts.raw, std::vector<std::u16string>(11));
    line.Drive().Faults().Script({korvansim::FaultKind::Refuse, korvansim::FaultKind::Drop});
    std::vector<int32_t> wanted(11, 0);
    wanted[5] = 1;
    EXPECT_EQ(Collect(wanted), -100);
    EXPECT_EQ(hostkit::Values(values.raw)[0], 4.0);
    EXPECT_EQ(Collect(wanted), -100);
    EXPECT_EQ(hostkit::Values(values.raw)[0], 2.0);
    EXPECT_EQ(Collect(wanted), 0);
    EXPECT_EQ(hostkit::Values(values.raw)[5], DriveValue(204, 0.001));

    EXPECT_EQ(Command(u"WRITE(202,-1,3,0,5000)"), 100.0);  // beyond the drive's limits: refused
    EXPECT_EQ(Command(u"READ(9,0,0,X)"), 4.0);             // no such parameter
    line.Drive().Faults().Script({korvansim::FaultKind::Drop});
    EXPECT_EQ(Command(u"ZELK_WRITE(7=10)"), 100.0);
    EXPECT_EQ(Command(u"WRITE(202,-1,3,0)"), 300.0);

    // Output held by flow control: the request is never taken, and the call still ends.
    ASSERT_EQ(tcflow(line.Fd(), TCOOFF), 0);
    EXPECT_EQ(Command(u"READ(202,-1,3,X)"), 2.0);
    EXPECT_EQ(Collect(wanted), -100);
    EXPECT_EQ(hostkit::Values(values.raw)[0], 2.0);
    ASSERT_EQ(tcflow(line.Fd(), TCOON), 0);
    EXPECT_EQ(Command(u"READ(202,-1,3,X)"), 0.0);
}

}  // namespace
}  // namespace korvan
