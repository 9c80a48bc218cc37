// The system's dialog backend on Windows: for now the one that opens nothing, so the
// channel dialog answers as it does without a display.
#include "platform/dialog_none.h"

namespace korvan::platform {

DialogBackend& SystemDialogBackend() {
    static NoDialogBackend none;
    return none;
}

}  // namespace korvan::platform
