// Where dialog windows come from. A backend builds a dialog's window from its
// template, runs it modally and shows message boxes. The process uses the backend
// installed last, or else the system's: GTK when the build has it and a display
// opens, otherwise one that opens nothing.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/dialogs/dialog_template.h"
#include "platform/dialogs/dialog_window.h"

namespace korvan::platform {

class Dialog;

enum MessageBoxStyle : uint32_t { kMbOk = 0x00, kMbOkCancel = 0x01, kMbIconQuestion = 0x20 };

class DialogBackend {
public:
    virtual ~DialogBackend() = default;
    // Builds the window, opens the dialog in it (OpenDialog) and runs it until it
    // ends. The dialog's result, or kDialogFailed when no window can be made.
    virtual int32_t RunModal(Dialog& dialog, const DialogTemplate& dialogTemplate) = 0;
    // kIdOk or kIdCancel as answered; 0 when no box can be shown.
    virtual int32_t ShowMessageBox(DialogWindow* owner, std::u16string_view text, std::u16string_view caption,
                                   uint32_t style) = 0;
};

DialogBackend& ActiveDialogBackend();
// The caller keeps `backend` alive while installed; nullptr goes back to the system's.
void InstallDialogBackend(DialogBackend* backend);
// Defined once per build, by the backend files CMake chooses.
DialogBackend& SystemDialogBackend();

// Installs a backend for the lifetime of this object, then puts the previous one back.
class ScopedDialogBackend {
public:
    explicit ScopedDialogBackend(DialogBackend& backend);
    ~ScopedDialogBackend();
    ScopedDialogBackend(const ScopedDialogBackend&) = delete;
    ScopedDialogBackend& operator=(const ScopedDialogBackend&) = delete;

private:
    DialogBackend* previous_;
};

}  // namespace korvan::platform
