// Host texts made from fuzzer bytes. The bytes are read as UTF-8 so that seeds stay
// readable; any UTF-16 code unit can still be reached: a byte that starts no valid
// sequence becomes U+DC00 plus the byte (a lone low surrogate), and 0xFF followed by
// two bytes is that code unit itself (big-endian), NUL and lone surrogates included.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace korvanfuzz {

std::u16string WideFromBytes(std::span<const uint8_t> bytes);
// The text split at every `separator` unit: k separators give k + 1 pieces.
std::vector<std::u16string> SplitText(const std::u16string& text, char16_t separator);

}  // namespace korvanfuzz
