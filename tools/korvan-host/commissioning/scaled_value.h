// A raw parameter value in the user's units: raw × the factor of its conversion
// index, written out exactly (conversion -2 shows 300 as 3.00, 74 shows 12345 as
// 1234.5, 2 shows 7 as 700).
#pragma once

#include <cstdint>
#include <string>

namespace korvanhost {

std::string ScaledText(int64_t raw, int32_t conversion);
// The same with its unit: "3.00 s"; the bare number where there is no unit.
std::string ScaledWithUnit(int64_t raw, int32_t conversion, const std::string& unit);

}  // namespace korvanhost
