#include <malloc.h>

#include "tests/support/heap_in_use.h"

namespace korvan::testing {

std::size_t HeapInUse() {
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace korvan::testing
