#include "platform/dialogs/headless/dialog_headless.h"

namespace korvan::platform {

int32_t HeadlessBackend::RunModal(Dialog& dialog, const DialogTemplate& dialogTemplate) {
    HeadlessWindow window(dialog, dialogTemplate);
    {
        OpenDialog open(dialog, window, dialogTemplate);
        if (!window.Ended()) user_.DialogOpened(window);
        window.Close();
        window.End(kIdCancel);
    }
    return window.Result();
}

int32_t HeadlessBackend::ShowMessageBox(DialogWindow*, std::u16string_view text, std::u16string_view caption,
                                        uint32_t style) {
    return user_.MessageBoxShown(text, caption, style);
}

}  // namespace korvan::platform
