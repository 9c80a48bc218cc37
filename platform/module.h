// The driver module as the system knows it, and the attributes that export a
// function from it.
#pragma once

#define KORVAN_EXPORT extern "C" __attribute__((visibility("default")))

namespace korvan::platform {

// Identifies a loaded module; nullptr until the module is attached.
using ModuleHandle = const void*;

// The handle of the module that contains `address`.
ModuleHandle ModuleContaining(const void* address);

}  // namespace korvan::platform

// Runs a function of the module when the system loads it, and another when it unloads it.
#define KORVAN_ON_MODULE_LOAD __attribute__((constructor))
#define KORVAN_ON_MODULE_UNLOAD __attribute__((destructor))
