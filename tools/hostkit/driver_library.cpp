#include "tools/hostkit/driver_library.h"

#include <dlfcn.h>

#include <cstdlib>

namespace hostkit {

DriverLibrary::DriverLibrary(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        error_ = why ? why : "cannot load " + path;
        return;
    }
    Resolve(entry_.GetProperty, "SvrGetProperty");
    Resolve(entry_.EnumPropertyValue, "SvrEnumPropertyValue");
    Resolve(entry_.SetProperty, "SvrSetProperty");
    Resolve(entry_.DoHelp, "SvrDoHelp");
    Resolve(entry_.GetChannel, "SvrGetChannel");
    Resolve(entry_.EditProperties, "SvrEditProperties");
    Resolve(entry_.EditCustomProperty, "SvrEditCustomProperty");
    Resolve(entry_.InitDevSet, "SvrInitDevSet");
    Resolve(entry_.InitDevRun, "SvrInitDevRun");
    Resolve(entry_.ExitDevRun, "SvrExitDevRun");
    Resolve(entry_.CollectDevData, "SvrCollectDevData");
    Resolve(entry_.DevIOCtrl, "SvrDevIOCtrl");
    Resolve(entry_.GetDevInfo, "SvrGetDevInfo");
    Resolve(entry_.SetSetIDispatch, "SvrSetSetIDispatch");
    Resolve(entry_.SetRunIDispatch, "SvrSetRunIDispatch");
}

DriverLibrary::~DriverLibrary() { Unload(); }

void DriverLibrary::Unload() {
    if (handle_ != nullptr) dlclose(handle_);
    handle_ = nullptr;
    entry_ = {};
}

template <class Function>
void DriverLibrary::Resolve(Function& target, const char* name) {
    target = reinterpret_cast<Function>(dlsym(handle_, name));
    if (target == nullptr && error_.empty()) error_ = std::string("missing entry point ") + name;
}

std::string DriverPath(const char* builtDefault) {
    const char* fromEnvironment = std::getenv("KORVAN_DRIVER");
    return fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : builtDefault;
}

}  // namespace hostkit
