#include "platform/dialog_resource_module.h"

namespace korvan::platform {
namespace {

ModuleHandle currentResourceModule = nullptr;

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
