// The toolkit speaks UTF-8; the driver's texts are UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace korvan::platform::gtk {

std::string Utf8(std::u16string_view text);
// nullptr reads as the empty text.
std::u16string Utf16(const char* text);

}  // namespace korvan::platform::gtk
