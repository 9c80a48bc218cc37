// The process's shared heap: every block that crosses the host boundary (array
// storage, string text, BSTR) comes from here, so host and driver may free each
// other's blocks.
#pragma once

#include <cstddef>

namespace korvan::platform {

// nullptr when the heap cannot serve the request (or bytes is 0).
void* SharedAlloc(std::size_t bytes);
// Zero-filled; nullptr on overflow or exhaustion.
void* SharedAllocZeroed(std::size_t count, std::size_t size);
void SharedFree(void* block);

}  // namespace korvan::platform
