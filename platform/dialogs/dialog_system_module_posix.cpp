// The system's dialog backend: GTK's from the dialog module beside the driver once
// that module loads and a display opens, otherwise the backend that opens nothing.
// Both are looked at again on every call, so a host that gets a display (or the
// module) later can open dialogs then.
#include <dlfcn.h>

#include <atomic>
#include <string>

#include "platform/dialogs/headless/dialog_none.h"
#include "platform/dialogs/dialog_system_module.h"

namespace korvan::platform {
namespace {

// The folder of the file this code was loaded from (the driver), with its slash.
std::string FolderOfThisModule() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&SystemDialogBackend), &info) == 0 || info.dli_fname == nullptr) {
        return "./";
    }
    const std::string file = info.dli_fname;
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? "./" : file.substr(0, slash + 1);
}

// The module's entry, or nullptr when it is missing or does not load. The module
// and the toolkit it links stay for the rest of the process once loaded (even when
// the driver is unloaded): the toolkit registers types with GLib, which outlive any
// unload, and keeps its display connection.
DialogModuleEntry LoadDialogModule() {
    const std::string path = FolderOfThisModule() + kDialogModuleFile;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_NODELETE);
    void* entry = module != nullptr ? dlsym(module, kDialogModuleEntry) : nullptr;
    if (entry == nullptr) dlerror();  // the host's next dlerror() is not about this
    return reinterpret_cast<DialogModuleEntry>(entry);
}

}  // namespace

DialogBackend& SystemDialogBackend() {
    static NoDialogBackend none;
    // Hosts may ask from several threads at once; the module one of them finds is kept.
    static std::atomic<DialogModuleEntry> entry{nullptr};
    DialogModuleEntry found = entry.load(std::memory_order_acquire);
    if (found == nullptr) {
        found = LoadDialogModule();
        if (found != nullptr) entry.store(found, std::memory_order_release);
    }
    DialogBackend* onScreen = found != nullptr ? found() : nullptr;
    return onScreen != nullptr ? *onScreen : none;
}

}  // namespace korvan::platform
