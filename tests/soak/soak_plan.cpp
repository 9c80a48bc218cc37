#include "tests/soak/soak_plan.h"

#include "tools/hostkit/config_blob.h"

namespace korvansoak {
namespace {

constexpr bool kChanged = true;
constexpr bool kKept = false;

}  // namespace

const std::vector<PlanChannel>& PlanChannels() {
    using enum Access;
    // The drive fills the read-outs (516, 518, 537) from its motor, which the process
    // writes start and stop; 204, 213, 540 and 600 the soak changes between steps;
    // 202, 207, 1, 208 and 534 change through the writes.
    static const std::vector<PlanChannel> channels = {
        {516, 0, 4, 0.1, -1, ReadOnly, 0, kKept, 0, 0, 0, u"参考"},
        {204, 1, 6, 0.001, -3, ReadWrite, 0, kChanged, -2000000, 2000000, 0, u"最小参考"},
        {537, 2, 3, 1.0, 0, ReadOnly, 0, kKept, 0, 0, 0, u"散热器温度"},
        {202, 3, 4, 0.1, -1, ReadWrite, 0, kKept, 300, 1000, 10005, u"上限频率"},
        {213, 3, 4, 0.1, -1, ReadWrite, 1, kChanged, 0, 10000, 10005, u"点动频率"},
        {518, 3, 4, 0.1, -1, ReadOnly, 0, kKept, 0, 0, 0, u"频率"},
        {540, 4, 3, 1.0, 0, ReadOnly, 0, kChanged, 0, 4294967295, 0, u"警告字"},
        {600, 4, 0, 0.1, 74, ReadOnly, 0, kChanged, 0, 1000000000, 0, u"运行小时"},
        {207, 4, 5, 0.01, -2, ReadWrite, 1, kKept, 100, 1000, 360005, u"加速时间"},
        {1, 2, 3, 1.0, 0, ReadWrite, 0, kKept, 0, 5, 10, u"语言"},
        {621, kTextType, 3, 1.0, 0, ReadOnly, 0, kKept, 0, 0, 0, u"机型"},
        {534, kTextType, 3, 1.0, 0, ReadWrite, 0, kKept, 0, 0, 0, u"显示文本"},
        {208, 4, 5, 0.01, -2, WriteOnly, 0, kKept, 100, 1000, 360005, u"减速时间"},
    };
    return channels;
}

std::vector<uint8_t> PlanBlob() {
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    for (const PlanChannel& channel : PlanChannels()) {
        content.channels.push_back(hostkit::Parameter(channel.pnu, channel.type, channel.row, channel.name,
                                                      static_cast<int32_t>(channel.access), channel.retain));
    }
    return hostkit::EncodeBlob(content);
}

}  // namespace korvansoak
