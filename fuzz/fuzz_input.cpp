#include "fuzz/fuzz_input.h"

#include <algorithm>

namespace korvanfuzz {

uint8_t FuzzInput::Byte() {
    if (rest_.empty()) return 0;
    const uint8_t byte = rest_.front();
    rest_ = rest_.subspan(1);
    return byte;
}

uint16_t FuzzInput::Word() {
    const uint16_t high = Byte();
    return static_cast<uint16_t>(high << 8 | Byte());
}

int32_t FuzzInput::Int32() {
    const uint32_t high = Word();
    return static_cast<int32_t>(high << 16 | Word());
}

std::span<const uint8_t> FuzzInput::Bytes(std::size_t count) {
    const std::span<const uint8_t> taken = rest_.first(std::min(count, rest_.size()));
    rest_ = rest_.subspan(taken.size());
    return taken;
}

std::span<const uint8_t> FuzzInput::Chunk() { return Bytes(Byte()); }

std::span<const uint8_t> FuzzInput::Rest() { return Bytes(rest_.size()); }

}  // namespace korvanfuzz
