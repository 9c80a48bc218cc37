// dlopen, dlsym and dlclose.
#include <dlfcn.h>

#include "tools/hostkit/module_loading.h"

namespace hostkit {

void* LoadModule(const std::string& path, std::string& error) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* why = dlerror();
        error = why ? why : "cannot load " + path;
    }
    return module;
}

void* ModuleSymbol(void* module, const char* name) { return dlsym(module, name); }

void UnloadModule(void* module) { dlclose(module); }

}  // namespace hostkit
