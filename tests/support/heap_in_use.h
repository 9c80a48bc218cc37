// Bytes the process's heaps have handed out and not yet taken back, to bound what a
// call keeps (0 where a sanitizer's allocator stands in for the C library's).
#pragma once

#include <cstddef>

namespace korvan::testing {

std::size_t HeapInUse();

}  // namespace korvan::testing
