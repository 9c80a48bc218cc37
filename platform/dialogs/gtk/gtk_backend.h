// Dialogs on screen with GTK 3: each modal dialog gets a window of its own, owned
// by the dialog that opened it; message boxes belong to the dialog that asks.
#pragma once

#include <vector>

#include "platform/dialogs/dialog_backend.h"

namespace korvan::platform::gtk {

class GtkDialogWindow;

class GtkBackend final : public DialogBackend {
public:
    int32_t RunModal(Dialog& dialog, const DialogTemplate& dialogTemplate) override;
    int32_t ShowMessageBox(DialogWindow* owner, std::u16string_view text, std::u16string_view caption,
                           uint32_t style) override;

private:
    std::vector<GtkDialogWindow*> open_;  // innermost last
};

}  // namespace korvan::platform::gtk
