#include "driver/process_objects.h"

namespace korvan {
namespace {

platform::AutomationDriver hostSetObject;
HostRunObjectType hostRunObject;
platform::ModuleHandle moduleHandle = nullptr;

}  // namespace

platform::AutomationDriver& HostSetObject() { return hostSetObject; }
HostRunObjectType& HostRunObject() { return hostRunObject; }
platform::ModuleHandle& ModuleHandle() { return moduleHandle; }

}  // namespace korvan
