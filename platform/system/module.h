// The driver module as the system knows it: its handle, what the system's module
// entry tells the driver, and the attributes that export a function from it.
#pragma once

#ifdef _WIN32
// The module-definition file names the DLL's exports.
#define KORVAN_EXPORT extern "C"
#else
#define KORVAN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace korvan::platform {

// Identifies a loaded module; nullptr until the module is attached.
using ModuleHandle = const void*;

// The handle of the module that contains `address`.
ModuleHandle ModuleContaining(const void* address);

// Defined by the driver module and called by the system's entry of the module, which
// the build links into the driver alone (module_entry_*.cpp).
// The system has loaded the module; `self` is its handle.
void ModuleLoaded(ModuleHandle self);
// The module is being unloaded while the process goes on.
void ModuleUnloading();
// The process is ending with the module still loaded: other modules may already be
// gone, so nothing may call into them.
void ProcessEnding();

}  // namespace korvan::platform
