// A client of a host automation object: holds one IDispatch, releases it when told
// to or when destroyed (if it was attached with auto-release), looks names up and
// invokes by dispatch identifier.
#pragma once

#include "korvan/host_abi.h"

namespace korvan::platform {

class AutomationDriver {
public:
    AutomationDriver() = default;
    ~AutomationDriver() { ReleaseDispatch(); }
    AutomationDriver(const AutomationDriver&) = delete;
    AutomationDriver& operator=(const AutomationDriver&) = delete;

    // Releases what is held, then takes over `dispatch` without adding a reference.
    void AttachDispatch(IDispatch* dispatch, bool autoRelease = true);
    // Releases the held interface (when attached with auto-release) and forgets it.
    void ReleaseDispatch();
    IDispatch* Dispatch() const { return dispatch_; }

private:
    IDispatch* dispatch_ = nullptr;
    bool autoRelease_ = false;
};

}  // namespace korvan::platform
