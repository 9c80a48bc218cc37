// Wide-text routines of the system library: trimming, upper-casing, formatted scans
// in the manner of "%d", "%X" and "%f", and decimal formatting. Scans never depend
// on the process locale, and integers wrap modulo 2^32 as the system's scanner does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvan::platform {

bool IsWhiteSpace(char16_t c);
std::u16string_view Trim(std::u16string_view text);
// Upper-cases the Latin letters a-z; every other character stays as it is.
std::u16string ToUpper(std::u16string_view text);

// "%d": leading white space, optional sign, decimal digits. nullopt when no digit.
std::optional<int32_t> ScanDecimal(std::u16string_view text);
// "%X": leading white space, optional sign, optional "0x", hexadecimal digits.
std::optional<int32_t> ScanHex(std::u16string_view text);
// "%f" into a single-precision float: leading white space, optional sign, digits with
// an optional point and exponent. nullopt when no number starts the text.
std::optional<float> ScanFloat(std::u16string_view text);

// "%d".
std::u16string FormatDecimal(int64_t value);
std::u16string Widen(std::string_view ascii);
std::string Narrow(std::u16string_view ascii);  // characters above 0x7F become '?'

}  // namespace korvan::platform
