// What the system does when it loads and unloads the driver module: the channel
// schemas are defined, the module's handle is kept, and at unload the host's two
// automation objects are released.
#include "channels/channel_schemas.h"
#include "driver/process_objects.h"

namespace korvan {
namespace {

KORVAN_ON_MODULE_LOAD void OnModuleLoad() {
    ModuleHandle() = platform::ModuleContaining(reinterpret_cast<const void*>(&OnModuleLoad));
    DefineChannelSchemas();
}

KORVAN_ON_MODULE_UNLOAD void OnModuleUnload() {
    HostRunObject().driver.ReleaseDispatch();
    HostRunObject().lookup = nullptr;
    HostSetObject().ReleaseDispatch();
}

}  // namespace
}  // namespace korvan
