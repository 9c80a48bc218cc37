// Every heap of the process counts: the process heap that the host's blocks come
// from, and the C runtime's.
#include <windows.h>

#include <vector>

#include "tests/support/heap_in_use.h"

namespace korvan::testing {

std::size_t HeapInUse() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    std::size_t busy = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) busy += entry.cbData;
        }
        HeapUnlock(heap);
    }
    return busy;
}

}  // namespace korvan::testing
