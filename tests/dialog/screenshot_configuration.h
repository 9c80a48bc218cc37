// The device the documentation's pictures show, the same on every system: the fixed
// channels and four parameter channels of different types and access.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/hostkit/config_blob.h"

namespace korvan::testing {

inline std::vector<uint8_t> ScreenshotConfiguration() {
    hostkit::BlobContent content;
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(102, 1, 3, u"电机功率", 0));
    content.channels.push_back(hostkit::Parameter(205, 1, 4, u"最大参考值", 2));
    content.channels.push_back(hostkit::Parameter(341, 3, 5, u"加速时间", 1, 1));
    content.channels.push_back(hostkit::Parameter(621, 5, 3, u"铭牌型号", 0));
    return hostkit::EncodeBlob(content);
}

}  // namespace korvan::testing
