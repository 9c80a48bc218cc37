#include "platform/system/module.h"

#include <dlfcn.h>

namespace korvan::platform {

ModuleHandle ModuleContaining(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0) return nullptr;
    return info.dli_fbase;
}

}  // namespace korvan::platform
