// Conversion indexes: a parameter's engineering value is raw × 10^index, except that the
// index 74 means a factor of 0.1.
#pragma once

#include <cstdint>

namespace korvansim {

// The indexes the drive uses: 74, 2, 1, 0 and -1 to -5.
bool IsKnownConversion(int conversion);
int DecimalExponent(std::int8_t conversion);

// Raw value to millionths of the engineering unit (µHz, µs, µA …) and back; the way back
// truncates toward zero.
std::int64_t RawToMicro(std::int64_t raw, std::int8_t conversion);
std::int64_t MicroToRaw(std::int64_t micro, std::int8_t conversion);

}  // namespace korvansim
