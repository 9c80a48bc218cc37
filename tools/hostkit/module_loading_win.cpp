// LoadLibraryW, GetProcAddress and FreeLibrary; paths are UTF-8.
#include <windows.h>

#include "tools/hostkit/module_loading.h"

namespace hostkit {
namespace {

std::wstring WidePath(const std::string& path) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), size);
    return wide;
}

}  // namespace

void* LoadModule(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryW(WidePath(path).c_str());
    if (module == nullptr) error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return module;
}

void* ModuleSymbol(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

}  // namespace hostkit
