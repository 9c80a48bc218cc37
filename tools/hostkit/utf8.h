// UTF-8 for terminals, files and command lines; UTF-16 for the driver.
#pragma once

#include <string>
#include <string_view>

namespace hostkit {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace hostkit
