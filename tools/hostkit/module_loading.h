// The system's loading of a module by path, as a host does it.
#pragma once

#include <string>

namespace hostkit {

// The loaded module, or nullptr with the system's reason in `error`.
void* LoadModule(const std::string& path, std::string& error);
// The address of an exported function; nullptr when the module lacks it.
void* ModuleSymbol(void* module, const char* name);
void UnloadModule(void* module);

}  // namespace hostkit
