#include "tools/korvan-host/commissioning/scaled_value.h"

namespace korvanhost {
namespace {

constexpr int32_t kTenth = 74;  // the drive's index for a factor of 0.1

}  // namespace

std::string ScaledText(int64_t raw, int32_t conversion) {
    const int32_t decimals = conversion == kTenth ? 1 : conversion < 0 ? -conversion : 0;
    const bool negative = raw < 0;
    std::string digits = std::to_string(negative ? -static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw));
    if (conversion > 0 && conversion != kTenth && raw != 0) digits += std::string(static_cast<std::size_t>(conversion), '0');
    if (decimals > 0) {
        if (digits.size() <= static_cast<std::size_t>(decimals)) {
            digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        }
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), ".");
    }
    return negative ? "-" + digits : digits;
}

std::string ScaledWithUnit(int64_t raw, int32_t conversion, const std::string& unit) {
    return ScaledText(raw, conversion) + (unit.empty() ? "" : " " + unit);
}

}  // namespace korvanhost
