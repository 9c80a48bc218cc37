#include "runtime/conversion.h"

#include <algorithm>
#include <cstdlib>

#include "channels/channel_record.h"
#include "channels/channel_types.h"
#include "platform/system/wide_text.h"

namespace korvan {

double ChannelFactor(const ChannelRecord& channel) {
    const int32_t row = channel.GetInteger(attr::kConversion);
    if (row < 0 || row >= static_cast<int32_t>(kConversionTable.size())) return 1.0;
    return kConversionTable[row].multiplier;
}

double IndexFactor(int32_t conversionIndex) {
    if (conversionIndex == 74) return 0.1;
    // Exact powers of ten up to 10^22, and one correctly rounded division for negative
    // indexes: the same bits on every processor, unlike a library pow().
    const int32_t magnitude = std::min(std::abs(std::max(conversionIndex, -400)), 400);
    double power = 1.0;
    for (int32_t i = 0; i < magnitude; ++i) power *= 10.0;
    return conversionIndex < 0 ? 1.0 / power : power;
}

bool IsKnownConversionIndex(int32_t conversionIndex) {
    const std::u16string text = platform::FormatDecimal(conversionIndex);
    return std::any_of(kConversionTable.begin(), kConversionTable.end(),
                       [&](const ConversionRow& row) { return row.text == text; });
}

}  // namespace korvan
