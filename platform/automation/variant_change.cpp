#include "platform/automation/variant_change.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "platform/automation/automation_abi.h"
#include "platform/automation/variant.h"

namespace korvan::platform {
namespace {

template <class T>
T Field(const VARIANT& variant) {
    return VariantValue<T>(variant);
}

// A number written in ASCII: optional sign, digits with one decimal point, an
// optional exponent; white space around it is allowed, nothing else.
std::optional<double> NumberInText(std::u16string_view text) {
    std::string ascii;
    for (char16_t c : text) {
        if (c > 0x7F) return std::nullopt;
        ascii.push_back(static_cast<char>(c));
    }
    const std::size_t first = ascii.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    const std::size_t last = ascii.find_last_not_of(" \t");
    const std::string number = ascii.substr(first, last - first + 1);
    if (number.find_first_not_of("+-.0123456789eE") != std::string::npos) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The value of a numeric, boolean or text variant as a double.
std::optional<double> AsNumber(const VARIANT& v) {
    switch (v.vt) {
        case VT_EMPTY: return 0.0;
        case kVtI1: return Field<int8_t>(v);
        case kVtUi1: return Field<uint8_t>(v);
        case kVtI2: return Field<int16_t>(v);
        case kVtUi2: return Field<uint16_t>(v);
        case VT_I4:
        case kVtInt: return Field<int32_t>(v);
        case kVtUi4:
        case kVtUint: return Field<uint32_t>(v);
        case VT_R4: return Field<float>(v);
        case kVtR8: return Field<double>(v);
        case VT_BOOL: return Field<int16_t>(v) != 0 ? -1.0 : 0.0;
        case VT_BSTR: return NumberInText(BstrText(Field<char16_t*>(v)));
        default: return std::nullopt;
    }
}

// Round half to even, whatever rounding mode the host set.
double RoundHalfEven(double value) {
    const double down = std::floor(value);
    const double fraction = value - down;
    if (fraction > 0.5) return down + 1.0;
    if (fraction < 0.5) return down;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

std::optional<std::u16string> AsText(const VARIANT& v) {
    if (v.vt == VT_BSTR) return std::u16string(BstrText(Field<char16_t*>(v)));
    const std::optional<double> number = AsNumber(v);
    if (!number) return std::nullopt;
    char buffer[32];
    if (v.vt == VT_R4) std::snprintf(buffer, sizeof buffer, "%.7G", *number);
    else std::snprintf(buffer, sizeof buffer, "%.15G", *number);
    return std::u16string(buffer, buffer + std::strlen(buffer));
}

bool ToInteger(VARIANT& variant) {
    const std::optional<double> number = AsNumber(variant);
    if (!number) return false;
    const double rounded = RoundHalfEven(*number);
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return false;
    VariantClear(variant);
    variant = MakeIntegerVariant(static_cast<int32_t>(rounded));
    return true;
}

bool ToFloat(VARIANT& variant) {
    const std::optional<double> number = AsNumber(variant);
    if (!number || std::fabs(*number) > std::numeric_limits<float>::max()) return false;
    VariantClear(variant);
    variant = MakeFloatVariant(static_cast<float>(*number));
    return true;
}

bool ToText(VARIANT& variant) {
    if (variant.vt == VT_BSTR) return true;
    const std::optional<std::u16string> text = AsText(variant);
    if (!text) return false;
    VariantClear(variant);
    variant = MakeTextVariant(*text);
    return true;
}

}  // namespace

bool ChangeVariantType(VARIANT& variant, uint16_t type) {
    if (variant.vt == type) return true;
    switch (type) {
        case VT_I4: return ToInteger(variant);
        case VT_R4: return ToFloat(variant);
        case VT_BSTR: return ToText(variant);
        default: return false;
    }
}

}  // namespace korvan::platform
