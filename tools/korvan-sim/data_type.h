// The drive's parameter data types and how their values sit in the PWE field.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace korvansim {

enum class DataType : std::uint8_t { Int16, Int32, Uint8, Uint16, Uint32, Text };

std::optional<DataType> ParseDataType(std::string_view name);
std::string_view DataTypeName(DataType type);

// Int32 and Uint32 travel in all four PWE bytes; the others in the low word.
bool IsDoubleWord(DataType type);

// The range a numeric type can hold (not meaningful for Text).
std::int64_t TypeMinimum(DataType type);
std::int64_t TypeMaximum(DataType type);

// PWE of a reply: words in the low word with the high word 0, double words in all four bytes.
std::uint32_t ToPwe(DataType type, std::int64_t value);

// Value of a write request: words are read from the low word only (uint8 is not masked, so a
// value above 255 is caught by the range check), double words from all four bytes.
std::int64_t FromPwe(DataType type, std::uint32_t pwe);

}  // namespace korvansim
