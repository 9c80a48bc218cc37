// The example archive the demo starts from: written by the project's own blob encoder
// and loaded through the driver. KORVAN_WRITE_EXAMPLES=1 writes it afresh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/support/driver_fixture.h"
#include "tools/hostkit/config_blob.h"

namespace korvan {
namespace {

std::vector<uint8_t> DemoBlob() {
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    // In key order: parameter data type first, then parameter number.
    content.channels.push_back(hostkit::Parameter(537, 2, 3, u"散热器温度"));
    content.channels.push_back(hostkit::Parameter(518, 3, 4, u"输出频率"));
    content.channels.push_back(hostkit::Parameter(207, 4, 5, u"加速时间", 2));
    content.channels.push_back(hostkit::Parameter(520, 4, 5, u"电机电流"));
    content.channels.push_back(hostkit::Parameter(522, 4, 5, u"输出功率"));
    content.channels.push_back(hostkit::Parameter(621, 5, 3, u"机型"));
    return hostkit::EncodeBlob(content);
}

class ExampleArchiveTest : public testing::DriverTest {};

TEST_F(ExampleArchiveTest, TheDemoArchiveIsCurrentAndLoads) {
    const std::string path = KORVAN_EXAMPLE_ARCHIVE;
    if (const char* write = std::getenv("KORVAN_WRITE_EXAMPLES"); write != nullptr && *write == '1') {
        const auto blob = DemoBlob();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(blob.data()),
                                                    static_cast<std::streamsize>(blob.size()));
    }
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> stored((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(stored, DemoBlob());
    device_.SetArchiveBytes(stored);
    hostkit::StringArray names;
    hostkit::IntArray types;
    Svr().GetChannel(Device(), &names, &types);
    EXPECT_EQ(hostkit::Values(names.raw).back(), u"机型");
    EXPECT_EQ(hostkit::Values(types.raw), (std::vector<int32_t>{1, 2, 2, -2, -2, 2, 2, 2, 2, 2, 3}));
}

}  // namespace
}  // namespace korvan
