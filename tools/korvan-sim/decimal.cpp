#include "tools/korvan-sim/decimal.h"

#include <string>

#include "tools/korvan-sim/scaling.h"

namespace korvansim {
namespace {

constexpr std::size_t kMaxDigits = 12;

struct Digits {
    bool negative = false;
    std::string_view whole;
    std::string_view fraction;
};

bool AllDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::optional<Digits> Split(std::string_view text) {
    Digits digits;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        digits.negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const std::size_t dot = text.find('.');
    digits.whole = text.substr(0, dot);
    if (dot != std::string_view::npos) {
        digits.fraction = text.substr(dot + 1);
    }
    if (digits.whole.empty() || !AllDigits(digits.whole) || !AllDigits(digits.fraction) ||
        digits.whole.size() + digits.fraction.size() > kMaxDigits) {
        return std::nullopt;
    }
    return digits;
}

// Digits d1 d2 … as an integer, with `shift` more zeros appended (shift may be negative:
// then that many trailing digits are dropped, and they must be zeros).
std::optional<std::int64_t> Shifted(std::string_view digits, int shift) {
    std::int64_t value = 0;
    const int keep = static_cast<int>(digits.size()) + (shift < 0 ? shift : 0);
    for (int i = 0; i < static_cast<int>(digits.size()); ++i) {
        if (i >= keep) {
            if (digits[static_cast<std::size_t>(i)] != '0') {
                return std::nullopt;
            }
            continue;
        }
        value = value * 10 + (digits[static_cast<std::size_t>(i)] - '0');
    }
    for (int i = 0; i < shift; ++i) {
        value *= 10;
    }
    return value;
}

}  // namespace

std::optional<std::int64_t> ParseScaledDecimal(std::string_view text, std::int8_t conversion) {
    const std::optional<Digits> digits = Split(text);
    if (!digits) {
        return std::nullopt;
    }
    // raw = value × 10^(-exponent): append the fraction to the whole part and shift.
    const int exponent = DecimalExponent(conversion);
    std::string all(digits->whole);
    all.append(digits->fraction);
    const int shift = -exponent - static_cast<int>(digits->fraction.size());
    const std::optional<std::int64_t> magnitude = Shifted(all, shift);
    if (!magnitude) {
        return std::nullopt;
    }
    return digits->negative ? -*magnitude : *magnitude;
}

}  // namespace korvansim
