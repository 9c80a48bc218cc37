// The host's blocks on Windows: the process heap, and BSTRs from oleaut32.
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <limits>
#include <string_view>

#include "tools/hostkit/host_memory.h"

namespace hostkit {

void* HostAllocZeroed(std::size_t count, std::size_t size) {
    if (count == 0 || size == 0 || count > std::numeric_limits<std::size_t>::max() / size) return nullptr;
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, count * size);
}

void HostFree(void* block) {
    if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

char16_t* AllocBstr(std::u16string_view text) {
    return reinterpret_cast<char16_t*>(
        SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size())));
}

void FreeBstr(char16_t* bstr) { SysFreeString(reinterpret_cast<BSTR>(bstr)); }

}  // namespace hostkit
