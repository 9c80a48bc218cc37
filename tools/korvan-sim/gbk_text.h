// Texts on the wire are in code page 936 (GBK); the data file, logs and the API use UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvansim {

std::optional<std::vector<std::uint8_t>> Utf8ToGbk(std::string_view text);
std::optional<std::string> GbkToUtf8(std::span<const std::uint8_t> bytes);

// For logs and traces: the text in UTF-8 when it converts and is printable, with every other
// byte written as \xNN.
std::string PrintableText(std::span<const std::uint8_t> bytes);

}  // namespace korvansim
