// Conversion between the driver's UTF-16 texts and bytes in code page 936 (GBK), used
// on the wire and in the configuration blob, on every system whatever its own default.
#pragma once

#include <string>
#include <string_view>

namespace korvan::platform {

// A character that the code page cannot hold becomes '?'. No terminator is added.
std::string WideToCodePage(std::u16string_view text);
// Stops at the first 0 byte; a byte sequence that is not valid becomes '?'.
std::u16string CodePageToWide(std::string_view bytes);

}  // namespace korvan::platform
