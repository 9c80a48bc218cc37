#include "platform/dialogs/dialog_resource_module.h"

namespace korvan::platform {
namespace {

// Each thread selects for the dialogs it opens: hosts may open dialogs of two devices
// on two threads, and one's selection must not leak into the other's.
thread_local ModuleHandle currentResourceModule = nullptr;

}  // namespace

ModuleHandle ResourceModule() { return currentResourceModule; }

void SetResourceModule(ModuleHandle module) { currentResourceModule = module; }

ResourceModuleSelection::ResourceModuleSelection(ModuleHandle module) : remembered_(ResourceModule()) {
    if (module != nullptr) SetResourceModule(module);
}

void ResourceModuleSelection::Restore() {
    if (restored_) return;
    SetResourceModule(remembered_);
    restored_ = true;
}

}  // namespace korvan::platform
