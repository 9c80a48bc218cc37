// The current resource module: where dialogs take their templates from. nullptr, the
// starting value, stands for the module that holds this code.
#pragma once

#include "platform/system/module.h"

namespace korvan::platform {

ModuleHandle ResourceModule();
void SetResourceModule(ModuleHandle module);

// Remembers the current resource module and selects `module` unless it is nullptr;
// Restore (or the destructor) puts the remembered one back.
class ResourceModuleSelection {
public:
    explicit ResourceModuleSelection(ModuleHandle module);
    ~ResourceModuleSelection() { Restore(); }
    ResourceModuleSelection(const ResourceModuleSelection&) = delete;
    ResourceModuleSelection& operator=(const ResourceModuleSelection&) = delete;

    void Restore();

private:
    ModuleHandle remembered_;
    bool restored_ = false;
};

}  // namespace korvan::platform
