// Conversion of floating-point values to 32-bit integers: toward zero, held to the
// integer range at its ends, NaN giving 0, the same on every processor.
#pragma once

#include <cmath>
#include <cstdint>

namespace korvan::platform {

inline int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace korvan::platform
