// What the driver does when the system loads and unloads its module: the channel
// schemas are defined, the module's handle is kept, and at unload the host's two
// automation objects are released. When the process ends with the module loaded,
// they are only forgotten: the host that made them may be gone.
#include "channels/channel_schemas.h"
#include "driver/process_objects.h"

namespace korvan::platform {

void ModuleLoaded(ModuleHandle self) {
    korvan::ModuleHandle() = self;
    DefineChannelSchemas();
}

void ModuleUnloading() {
    HostRunObject().driver.ReleaseDispatch();
    HostRunObject().lookup = nullptr;
    HostSetObject().ReleaseDispatch();
}

void ProcessEnding() {
    HostRunObject().driver.ForgetDispatch();
    HostRunObject().lookup = nullptr;
    HostSetObject().ForgetDispatch();
}

}  // namespace korvan::platform
