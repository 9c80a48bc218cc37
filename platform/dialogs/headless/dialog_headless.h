// Dialogs without a display, for tests: every modal dialog and message box is
// handed to a user object that reads the controls and acts on them as a person
// would; the dialog's own handlers do the rest.
#pragma once

#include "platform/dialogs/dialog_backend.h"
#include "platform/dialogs/headless/dialog_headless_window.h"

namespace korvan::platform {

class HeadlessUser {
public:
    // The dialog's window is up and initialised. A window the user leaves open is
    // closed with its close box, and ends with kIdCancel if the dialog refuses.
    virtual void DialogOpened(HeadlessWindow& window) = 0;
    // Answers kIdOk or kIdCancel.
    virtual int32_t MessageBoxShown(std::u16string_view text, std::u16string_view caption, uint32_t style) = 0;

protected:
    ~HeadlessUser() = default;
};

class HeadlessBackend final : public DialogBackend {
public:
    explicit HeadlessBackend(HeadlessUser& user) : user_(user) {}

    int32_t RunModal(Dialog& dialog, const DialogTemplate& dialogTemplate) override;
    int32_t ShowMessageBox(DialogWindow* owner, std::u16string_view text, std::u16string_view caption,
                           uint32_t style) override;

private:
    HeadlessUser& user_;
};

}  // namespace korvan::platform
