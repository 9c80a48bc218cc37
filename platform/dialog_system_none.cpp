// The system's dialog backend in builds without a toolkit: nothing opens.
#include "platform/dialog_none.h"

namespace korvan::platform {

DialogBackend& SystemDialogBackend() {
    static NoDialogBackend none;
    return none;
}

}  // namespace korvan::platform
