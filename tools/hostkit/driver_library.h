// The host's view of a driver module: loaded with dlopen, its fifteen entry points
// resolved by name, unloaded with dlclose when the object goes away.
#pragma once

#include <string>

#include "korvan/host_abi.h"

namespace hostkit {

struct EntryPoints {
    decltype(&SvrGetProperty) GetProperty = nullptr;
    decltype(&SvrEnumPropertyValue) EnumPropertyValue = nullptr;
    decltype(&SvrSetProperty) SetProperty = nullptr;
    decltype(&SvrDoHelp) DoHelp = nullptr;
    decltype(&SvrGetChannel) GetChannel = nullptr;
    decltype(&SvrEditProperties) EditProperties = nullptr;
    decltype(&SvrEditCustomProperty) EditCustomProperty = nullptr;
    decltype(&SvrInitDevSet) InitDevSet = nullptr;
    decltype(&SvrInitDevRun) InitDevRun = nullptr;
    decltype(&SvrExitDevRun) ExitDevRun = nullptr;
    decltype(&SvrCollectDevData) CollectDevData = nullptr;
    decltype(&SvrDevIOCtrl) DevIOCtrl = nullptr;
    decltype(&SvrGetDevInfo) GetDevInfo = nullptr;
    decltype(&SvrSetSetIDispatch) SetSetIDispatch = nullptr;
    decltype(&SvrSetRunIDispatch) SetRunIDispatch = nullptr;
};

class DriverLibrary {
public:
    // Loads the module at `path`; Loaded() tells whether it and all fifteen names were found.
    explicit DriverLibrary(const std::string& path);
    ~DriverLibrary();
    DriverLibrary(const DriverLibrary&) = delete;
    DriverLibrary& operator=(const DriverLibrary&) = delete;

    bool Loaded() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    const EntryPoints& Svr() const { return entry_; }
    // The system's handle of the loaded module (an HMODULE on Windows).
    void* Module() const { return handle_; }
    // Unloads now (what the destructor would do); the entry points are gone afterwards.
    void Unload();

private:
    template <class Function>
    void Resolve(Function& target, const char* name);

    void* handle_ = nullptr;
    EntryPoints entry_{};
    std::string error_;
};

// The driver built beside the tools: $KORVAN_DRIVER, or the given default.
std::string DriverPath(const char* builtDefault);

}  // namespace hostkit
