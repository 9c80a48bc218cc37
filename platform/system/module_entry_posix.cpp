// The driver module's entry on an ELF system: the loader runs the constructor when
// the module is loaded and the destructor when it is unloaded or the process exits,
// which it does not tell apart; both release what the driver holds.
#include "platform/system/module.h"

namespace korvan::platform {
namespace {

__attribute__((constructor)) void OnLoad() { ModuleLoaded(ModuleContaining(reinterpret_cast<const void*>(&OnLoad))); }

__attribute__((destructor)) void OnUnload() { ModuleUnloading(); }

}  // namespace
}  // namespace korvan::platform
