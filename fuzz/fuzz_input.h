// The fuzzer's bytes, taken from the front as the values a target needs. Once the
// bytes run out every value is 0 and every chunk is empty, so a short input is just
// a run with fewer or simpler steps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace korvanfuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size) : rest_(data, size) {}
    explicit FuzzInput(std::span<const uint8_t> bytes) : rest_(bytes) {}

    bool Empty() const { return rest_.empty(); }
    std::size_t Remaining() const { return rest_.size(); }

    uint8_t Byte();
    uint16_t Word();  // big-endian, as the drive's fields are
    int32_t Int32();
    // Up to `count` bytes.
    std::span<const uint8_t> Bytes(std::size_t count);
    // A byte giving a length, then up to that many bytes.
    std::span<const uint8_t> Chunk();
    // Everything that is left.
    std::span<const uint8_t> Rest();

private:
    std::span<const uint8_t> rest_;
};

}  // namespace korvanfuzz
