// Exact decimal numbers of the data file ("50.0", "-2.5") turned into raw parameter values.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace korvansim {

// The raw integer whose engineering value is `text` under `conversion`; nullopt when the text
// is not a plain decimal number or the value cannot be represented exactly (50.05 with a
// factor of 0.1, 150 with a factor of 100).
std::optional<std::int64_t> ParseScaledDecimal(std::string_view text, std::int8_t conversion);

}  // namespace korvansim
