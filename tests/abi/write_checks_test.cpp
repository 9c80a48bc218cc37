// What reaches the drive through the built driver is what was asked: a WRITE or
// ZELK_WRITE whose text holds a typo, a name the host does not know or a value the
// parameter cannot hold sends nothing and reports unusable arguments (300), while its
// sound twin sends exactly the value written.
#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <sstream>

#include "tests/support/driver_fixture.h"
#include "tests/support/sim_line.h"
#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/host_automation.h"

namespace korvan {
namespace {

// The requests the simulated drive heard, as it traced them.
class HeardRequests {
public:
    void Note(const std::string& line) {
        const std::size_t at = line.find(" RX ");
        if (at == std::string::npos) return;
        std::istringstream hex(line.substr(at + 4, line.find("  (") - at - 4));
        std::vector<uint8_t> bytes;
        for (unsigned byte = 0; hex >> std::hex >> byte;) bytes.push_back(static_cast<uint8_t>(byte));
        const std::lock_guard<std::mutex> lock(mutex_);
        heard_.push_back(bytes);
    }
    std::vector<std::vector<uint8_t>> Take() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(heard_, {});
    }

private:
    std::mutex mutex_;
    std::vector<std::vector<uint8_t>> heard_;
};

class WriteChecksTest : public testing::DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        hostkit::BlobContent content;
        content.channels = hostkit::FixedChannels();
        content.channels.push_back(hostkit::Parameter(202, 3, 4, u"上限频率", 2));  // 5: uint16, 0.1, rw
        content.channels.push_back(hostkit::Parameter(537, 2, 3, u"温度"));          // 6: read only
        device_.SetArchiveBytes(hostkit::EncodeBlob(content));
        device_.SetPort(2, line.Fd());
        host.Declare(u"Speed", 47.5f);
        host.Declare(u"F", 9.0f);
        IDispatch* object = host.HandOut();  // the driver takes this reference over
        Svr().SetRunIDispatch(&object);
        ASSERT_EQ(Svr().InitDevRun(Device()), 1);
    }
    void TearDown() override {
        Svr().SetRunIDispatch(nullptr);  // released while the host's object still exists
        DriverTest::TearDown();
    }
    double Command(const std::u16string& text) {
        hostkit::String command;
        hostkit::Set(command.raw, text);
        hostkit::Set(results.raw, {0, 0, 0, 0x047C, 0});
        EXPECT_EQ(Svr().DevIOCtrl(Device(), &command, &results, 0), 0);
        return hostkit::Values(results.raw)[0];
    }
    static korvansim::Options Traced(HeardRequests& heard) {
        korvansim::Options options = testing::SimLine::Unpaced();
        options.trace = [&heard](const std::string& line) { heard.Note(line); };
        return options;
    }

    HeardRequests heard;
    testing::SimLine line{Traced(heard)};
    hostkit::HostAutomationObject host;
    hostkit::DoubleArray results;
};

// The value field of a 16-byte write request (bytes 7..10), as one number.
uint32_t ValueField(const std::vector<uint8_t>& request) {
    return request.size() < 16 ? 0xFFFFFFFFu
                               : uint32_t{request[7]} << 24 | uint32_t{request[8]} << 16 |
                                     uint32_t{request[9]} << 8 | request[10];
}

TEST_F(WriteChecksTest, OnlyTheValueWrittenReachesTheDrive) {
    struct Row {
        std::u16string text;
        std::optional<uint32_t> sent;  // the value field sent; none: nothing at all
    };
    const std::vector<Row> rows = {
        {u"WRITE(201,-1,3,0,abc)", {}},
        {u"WRITE(207,-2,4,0,12abc)", {}},
        {u"WRITE(202,-1,3,0,Speedd)", {}},  // a misspelt host variable
        {u"WRITE(207,x,4,0,5.5)", {}},      // a conversion index mistyped
        {u"WRITE(213,0,3,0,70000)", {}},    // beyond unsigned 16 bits
        {u"WRITE(207,-2,4,0,)", {}},
        {u"WRITE(207,-2,4,0,-)", {}},
        {u"WRITE(207,-2,4,2,5.5)", {}},     // no such save flag
        {u"WRITE(207,-5,4,0,5.5)", {}},     // no such conversion index
        {u"WRITE(207,-2,7,0,5.5)", {}},     // no such data type
        {u"ZELK_WRITE(5=Speed)", {}},       // names are not resolved here
        {u"ZELK_WRITE(5=1..2)", {}},
        {u"ZELK_WRITE(99=1)", {}},
        {u"ZELK_WRITE(6=1)", {}},           // read only
        {u"ZELK_WRITE(5=7000)", {}},        // 70000 at factor 0.1
        {u"READ(202,-1,6,F)", {}},          // no such data type: nothing read, nothing stored
        {u"WRITE(207,-2,4,0,5.5)", 550},
        {u"WRITE(202,-1,3,0,Speed)", 475},
        {u"WRITE(213,0,3,0,65535)", 65535},
        {u"WRITE(204,0,0,0,-32768)", 0x8000},
        {u"WRITE(537,0,2,0,255.9)", 255},
        {u"ZELK_WRITE(5=47.5)", 475},
    };
    for (const Row& row : rows) {
        const double status = Command(row.text);
        const auto requests = heard.Take();
        const std::string text(row.text.begin(), row.text.end());
        if (!row.sent) {
            EXPECT_EQ(status, 300.0) << text;
            EXPECT_TRUE(requests.empty()) << text;
        } else {
            EXPECT_NE(status, 300.0) << text;
            ASSERT_EQ(requests.size(), 1u) << text;
            EXPECT_EQ(ValueField(requests[0]), *row.sent) << text;
        }
    }
    EXPECT_EQ(std::get<float>(*host.Value(u"F")), 9.0f);
}

}  // namespace
}  // namespace korvan
