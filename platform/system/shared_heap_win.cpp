// The shared heap is the process heap, which the host allocates from as well.
#include "platform/system/shared_heap.h"

#include <windows.h>

#include <limits>

namespace korvan::platform {

void* SharedAlloc(std::size_t bytes) { return bytes == 0 ? nullptr : HeapAlloc(GetProcessHeap(), 0, bytes); }

void* SharedAllocZeroed(std::size_t count, std::size_t size) {
    if (count == 0 || size == 0 || count > std::numeric_limits<std::size_t>::max() / size) return nullptr;
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, count * size);
}

void SharedFree(void* block) {
    if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace korvan::platform
