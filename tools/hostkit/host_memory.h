// The host's side of the shared heap and of BSTRs: the C library's heap on Linux,
// the process heap and oleaut32 on Windows, as the public header says.
#pragma once

#include <cstddef>
#include <string_view>

namespace hostkit {

// Zero-filled; nullptr when count or size is 0.
void* HostAllocZeroed(std::size_t count, std::size_t size);
void HostFree(void* block);

// Host-side BSTRs, laid out as the ABI says.
char16_t* AllocBstr(std::u16string_view text);
void FreeBstr(char16_t* bstr);

}  // namespace hostkit
