// The driver's process-wide objects: the host's two automation objects and the
// module's own handle. They live from load to unload.
#pragma once

#include "platform/automation/automation_driver.h"
#include "platform/system/module.h"

namespace korvan {

struct HostRunObjectType {
    platform::AutomationDriver driver;
    IDispatch* lookup = nullptr;  // the raw pointer, used for name look-ups
};

platform::AutomationDriver& HostSetObject();
HostRunObjectType& HostRunObject();
platform::ModuleHandle& ModuleHandle();

}  // namespace korvan
