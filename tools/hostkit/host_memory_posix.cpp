#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tools/hostkit/host_memory.h"

namespace hostkit {

void* HostAllocZeroed(std::size_t count, std::size_t size) {
    return count == 0 || size == 0 ? nullptr : std::calloc(count, size);
}

void HostFree(void* block) { std::free(block); }

char16_t* AllocBstr(std::u16string_view text) {
    const uint32_t bytes = static_cast<uint32_t>(text.size() * sizeof(char16_t));
    auto* block = static_cast<char*>(std::calloc(1, sizeof(uint32_t) + bytes + sizeof(char16_t)));
    std::memcpy(block, &bytes, sizeof bytes);
    std::memcpy(block + sizeof(uint32_t), text.data(), bytes);
    return reinterpret_cast<char16_t*>(block + sizeof(uint32_t));
}

void FreeBstr(char16_t* bstr) {
    if (bstr != nullptr) std::free(reinterpret_cast<char*>(bstr) - sizeof(uint32_t));
}

}  // namespace hostkit
