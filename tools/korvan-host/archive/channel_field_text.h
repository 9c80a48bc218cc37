// A channel's fields as korvan-host writes them for people: "uint32", "-2 (×0.01)", "rw".
#pragma once

#include <cstdint>
#include <string>

namespace korvanhost {

// The data type 0..5 by name: int16, int32, uint8, uint16, uint32, text.
std::string DataTypeText(int32_t type);
// The drive's conversion index of a row of the conversion list, with its factor.
std::string ConversionText(int32_t row);
// The drive's conversion index of a row of the conversion list alone: "-2".
std::string ConversionIndexText(int32_t row);
// ro, wo or rw.
std::string AccessText(int32_t access);

}  // namespace korvanhost
