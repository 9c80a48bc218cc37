#include "tools/hostkit/driver_library.h"

#include <cstdlib>

#include "tools/hostkit/module_loading.h"

namespace hostkit {

DriverLibrary::DriverLibrary(const std::string& path) {
    handle_ = LoadModule(path, error_);
    if (handle_ == nullptr) return;
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
    if (handle_ != nullptr) UnloadModule(handle_);
    handle_ = nullptr;
    entry_ = {};
}

template <class Function>
void DriverLibrary::Resolve(Function& target, const char* name) {
    target = reinterpret_cast<Function>(ModuleSymbol(handle_, name));
    if (target == nullptr && error_.empty()) error_ = std::string("missing entry point ") + name;
}

std::string DriverPath(const char* builtDefault) {
    const char* fromEnvironment = std::getenv("KORVAN_DRIVER");
    return fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : builtDefault;
}

}  // namespace hostkit
