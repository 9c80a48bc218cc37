// The backend of a build or a session without a display: no dialog opens and no
// message box shows.
#pragma once

#include "platform/dialogs/dialog_backend.h"

namespace korvan::platform {

class NoDialogBackend final : public DialogBackend {
public:
    int32_t RunModal(Dialog& dialog, const DialogTemplate& dialogTemplate) override;
    int32_t ShowMessageBox(DialogWindow* owner, std::u16string_view text, std::u16string_view caption,
                           uint32_t style) override;
};

}  // namespace korvan::platform
