#include "platform/system/module.h"

#include <windows.h>

namespace korvan::platform {

ModuleHandle ModuleContaining(const void* address) {
    HMODULE module = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExW(flags, static_cast<LPCWSTR>(address), &module)) return nullptr;
    return module;
}

}  // namespace korvan::platform
