// One loaded driver serving four devices on four host threads at once, each device
// with its own configuration, bus address and simulated drive on its own
// pseudo-terminal: every value collected and every command's effect belongs to that
// device's own drive.
#include <gtest/gtest.h>

#include <latch>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/sim_line.h"
#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/driver_library.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_automation.h"
#include "tools/hostkit/host_device.h"

namespace korvan {
namespace {

constexpr int kDevices = 4;
constexpr int kCalls = 200;
constexpr int kCommandEvery = 4;  // a command text after every fourth collection call

// Elements of the values array: the table orders the parameter channels by data type.
constexpr std::size_t kMinReference = 5;  // 204, int32, 0.001
constexpr std::size_t kTemperature = 6;   // 537, uint8
constexpr std::size_t kHighLimit = 7;     // 202, uint16, 0.1, written by ZELK_WRITE
constexpr std::size_t kRampUp = 9;        // 207, uint32, 0.01
constexpr std::size_t kModel = 10;        // 621, text
constexpr std::size_t kElements = 11;

// One device as a host runs it on its own thread: archive, port, drive and arrays.
struct Station {
    explicit Station(int n)
        : address(static_cast<uint8_t>(10 + n)), line(testing::SimLine::Unpaced({address})),
          variable(u"RAMP" + std::u16string(1, static_cast<char16_t>(u'0' + n))) {
        hostkit::BlobContent content;
        content.settings = {address, 200 + 50 * n};
        content.channels = hostkit::FixedChannels();
        content.channels.push_back(hostkit::Parameter(204, 1, 6, u"最小参考", 2));
        content.channels.push_back(hostkit::Parameter(537, 2, 3, u"温度"));
        content.channels.push_back(hostkit::Parameter(202, 3, 4, u"上限频率", 2));
        content.channels.push_back(hostkit::Parameter(213, 3, 4, u"点动频率"));
        content.channels.push_back(hostkit::Parameter(207, 4, 5, u"加速时间", 2));
        content.channels.push_back(hostkit::Parameter(621, 5, 3, u"机型"));
        device.SetArchiveBytes(hostkit::EncodeBlob(content));
        device.SetPort(2, line.Fd());
        // Values no other drive holds.
        line.Drive().SetValue(address, 204, 0, -2500 - 111 * n);
        line.Drive().SetValue(address, 537, 0, 30 + n);
        line.Drive().SetValue(address, 207, 0, 500 + 7 * n);
    }
    double DriveValue(uint16_t pnu, double factor) {
        return static_cast<double>(*line.Drive().Value(address, pnu)) * factor;
    }

    uint8_t address;
    testing::SimLine line;
    hostkit::HostDevice device;
    std::u16string variable;
    hostkit::DoubleArray values;
    hostkit::StringArray texts;
    hostkit::DoubleArray results;
};

class DevicesOnThreadsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.Loaded()) << library.Error();
        for (int n = 0; n < kDevices; ++n) {
            stations[n] = std::make_unique<Station>(n);
            host.Declare(stations[n]->variable, 0.0f);
        }
        IDispatch* object = host.HandOut();  // the driver takes this reference over
        Svr().SetRunIDispatch(&object);
    }
    void TearDown() override {
        for (auto& station : stations) {
            if (station) Svr().ExitDevRun(station->device.Instance());
        }
    }
    const hostkit::EntryPoints& Svr() const { return library.Svr(); }

    // The host's thread for one device: start, collect with a command text now and
    // then, stop. Stops at the first value that is not its own drive's.
    void Run(Station& s, int n) {
        DeviceInstance* dev = s.device.Instance();
        started.arrive_and_wait();
        ASSERT_EQ(Svr().InitDevRun(dev), 1);
        hostkit::Set(s.values.raw, std::vector<double>(kElements, -1.0));
        hostkit::Set(s.texts.raw, std::vector<std::u16string>(kElements));
        hostkit::IntArray wanted;
        hostkit::Set(wanted.raw, std::vector<int32_t>(kElements, 1));
        double highLimit = s.DriveValue(202, 0.1);
        for (int call = 0; call < kCalls; ++call) {
            ASSERT_EQ(Svr().CollectDevData(dev, &wanted, &s.values, &s.texts), 0) << "device " << n << " call " << call;
            // The cursor moves one group per call, through the five groups in turn.
            const std::vector<double> got = hostkit::Values(s.values.raw);
            if (call % 5 == 0) { ASSERT_EQ(got[kMinReference], s.DriveValue(204, 0.001)) << n; }
            if (call % 5 == 1) { ASSERT_EQ(got[kTemperature], s.DriveValue(537, 1.0)) << n; }
            if (call % 5 == 2) { ASSERT_EQ(got[kHighLimit], highLimit) << n; }
            if (call % 5 == 3) { ASSERT_EQ(got[kRampUp], s.DriveValue(207, 0.01)) << n; }
            if (call % 5 == 4) { ASSERT_EQ(hostkit::Values(s.texts.raw)[kModel], u"VLT5005 380-500V  ") << n; }
            if (call % kCommandEvery != kCommandEvery - 1) continue;

            // Quarter steps: exact in binary, so the host's float compares exactly.
            const int turn = call / kCommandEvery;
            const double ramp = 1 + n + 0.25 * (turn % 8);
            highLimit = 20 + 5 * n + 0.5 * (turn % 10);
            // Run last to first: the write, the read of what it wrote, the channel write.
            const std::string text = "ZELK_WRITE(7=" + std::to_string(highLimit) + ") READ(208,-2,4,RAMP" +
                                     std::to_string(n) + ") WRITE(208,-2,4,1," + std::to_string(ramp) + ")";
            hostkit::String command;
            hostkit::Set(command.raw, std::u16string(text.begin(), text.end()));
            hostkit::Set(s.results.raw, {0, 0, 0, 0, 0});  // no control word: the motors stay still
            ASSERT_EQ(Svr().DevIOCtrl(dev, &command, &s.results, 0), 0);
            ASSERT_EQ(hostkit::Values(s.results.raw)[0], 0.0) << text;
            const auto eeprom = s.line.Drive().Value(s.address, 208, 0, korvansim::Copy::Eeprom);
            ASSERT_EQ(*eeprom, static_cast<int64_t>(ramp * 100)) << text;
            ASSERT_EQ(s.DriveValue(202, 0.1), highLimit) << text;
            lastRamp[n] = static_cast<float>(ramp);
        }
        ASSERT_EQ(Svr().ExitDevRun(dev), 1);
    }

    hostkit::HostAutomationObject host;  // outlives the driver, which releases it when unloaded
    hostkit::DriverLibrary library{hostkit::DriverPath(KORVAN_BUILT_DRIVER)};
    std::unique_ptr<Station> stations[kDevices];
    float lastRamp[kDevices] = {};
    std::latch started{kDevices};
};

TEST_F(DevicesOnThreadsTest, FourDevicesCollectAndRunCommandsAtOnceEachWithItsOwnDrive) {
    {
        std::vector<std::jthread> threads;
        for (int n = 0; n < kDevices; ++n) threads.emplace_back([this, n] { Run(*stations[n], n); });
    }
    for (int n = 0; n < kDevices; ++n) {
        // The host variable each device's READ filled holds its own drive's ramp time.
        EXPECT_EQ(std::get<float>(*host.Value(stations[n]->variable)), lastRamp[n]) << n;
        EXPECT_EQ(stations[n]->device.Instance()->deviceState, nullptr) << n;
    }
}

}  // namespace
}  // namespace korvan
