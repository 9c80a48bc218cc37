#include "platform/automation_driver.h"

namespace korvan::platform {

void AutomationDriver::AttachDispatch(IDispatch* dispatch, bool autoRelease) {
    ReleaseDispatch();
    dispatch_ = dispatch;
    autoRelease_ = autoRelease;
}

void AutomationDriver::ReleaseDispatch() {
    IDispatch* held = dispatch_;
    dispatch_ = nullptr;
    if (held != nullptr && autoRelease_ && held->vtbl != nullptr && held->vtbl->Release != nullptr) {
        held->vtbl->Release(held);
    }
}

}  // namespace korvan::platform
