// A dialog's window on Windows: the system's modal dialog, made by DialogBoxParamW
// from the template of the same number in the module's resources. The controls'
// notifications become the dialog's commands (a click, a drop-down list closing);
// the dialog reads and sets the controls through their messages. A handler's
// exception ends the dialog and is rethrown by Run.
#pragma once

#include <windows.h>

#include <exception>
#include <optional>

#include "platform/dialogs/dialog.h"

namespace korvan::platform::win {

class Win32DialogWindow final : public DialogWindow {
public:
    Win32DialogWindow(Dialog& dialog, const DialogTemplate& dialogTemplate)
        : dialog_(dialog), template_(dialogTemplate) {}
    Win32DialogWindow(const Win32DialogWindow&) = delete;
    Win32DialogWindow& operator=(const Win32DialogWindow&) = delete;

    // Makes the window from `module`'s resources, owned by `owner`, and runs it until
    // the dialog ends: its result, or kDialogFailed when no window could be made.
    int32_t Run(HINSTANCE module, HWND owner);
    // The window while it exists.
    HWND Handle() const { return window_; }

    void SetTitle(std::u16string_view title) override;
    std::u16string Title() const override;
    void SetControlText(int32_t id, std::u16string_view text) override;
    std::u16string ControlText(int32_t id) const override;
    void SetCheck(int32_t id, int32_t state) override;
    int32_t Check(int32_t id) const override;
    void ShowControl(int32_t id, bool shown) override;
    void EnableControl(int32_t id, bool enabled) override;
    void ClearList(int32_t id) override;
    void InsertListItem(int32_t id, int32_t position, std::u16string_view text) override;
    int32_t ListCount(int32_t id) const override;
    void SelectListItem(int32_t id, int32_t index) override;
    int32_t ListSelection(int32_t id) const override;
    IDispatch* ControlObject(int32_t id) override;
    void End(int32_t result) override;
    bool Ended() const override { return ended_; }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Initialise(HWND window);
    void Command(WPARAM wParam);
    void Route(int32_t id, ControlEvent event);
    void Destroyed();
    // The control `id` when the template makes it of `kind`; nullptr otherwise.
    HWND Control(int32_t id, ControlKind kind) const;
    HWND Button(int32_t id) const;  // a check box or radio button

    Dialog& dialog_;
    const DialogTemplate& template_;
    HWND window_ = nullptr;  // the system's, destroyed by the system when the dialog ends
    std::optional<OpenDialog> open_;
    bool ended_ = false;
    std::exception_ptr failure_;
};

}  // namespace korvan::platform::win
