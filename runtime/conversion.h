// Scaling between the drive's integers and engineering values.
#pragma once

#include <cstdint>

namespace korvan {

class ChannelRecord;

// The multiplier of the channel's conversion row (1 for a row outside the table).
double ChannelFactor(const ChannelRecord& channel);
// 10 to the power of a conversion index, the index 74 meaning 0.1.
double IndexFactor(int32_t conversionIndex);
// True for the conversion indexes the drive knows: 74, 2, 1, 0, -1, -2, -3 and -4.
bool IsKnownConversionIndex(int32_t conversionIndex);

}  // namespace korvan
