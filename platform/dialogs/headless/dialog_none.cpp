#include "platform/dialogs/headless/dialog_none.h"

#include "platform/dialogs/dialog.h"

namespace korvan::platform {

int32_t NoDialogBackend::RunModal(Dialog&, const DialogTemplate&) { return kDialogFailed; }

int32_t NoDialogBackend::ShowMessageBox(DialogWindow*, std::u16string_view, std::u16string_view, uint32_t) {
    return 0;
}

}  // namespace korvan::platform
