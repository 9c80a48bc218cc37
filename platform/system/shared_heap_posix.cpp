#include "platform/system/shared_heap.h"

#include <cstdlib>

namespace korvan::platform {

void* SharedAlloc(std::size_t bytes) { return bytes == 0 ? nullptr : std::malloc(bytes); }

void* SharedAllocZeroed(std::size_t count, std::size_t size) {
    return count == 0 || size == 0 ? nullptr : std::calloc(count, size);
}

void SharedFree(void* block) { std::free(block); }

}  // namespace korvan::platform
