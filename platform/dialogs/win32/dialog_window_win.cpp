#include "platform/dialogs/win32/dialog_window_win.h"

#include "platform/dialogs/win32/grid_view_win.h"
#include "platform/dialogs/win32/window_support_win.h"

namespace korvan::platform::win {

int32_t Win32DialogWindow::Run(HINSTANCE module, HWND owner) {
    if (template_.id < 0 || template_.id > 0xFFFF) return kDialogFailed;
    const INT_PTR result = DialogBoxParamW(module, MAKEINTRESOURCEW(template_.id), owner, &Procedure,
                                           reinterpret_cast<LPARAM>(this));
    open_.reset();  // the window went without telling (it always tells)
    window_ = nullptr;
    if (failure_) std::rethrow_exception(failure_);
    return result == -1 ? kDialogFailed : static_cast<int32_t>(result);
}

INT_PTR CALLBACK Win32DialogWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return reinterpret_cast<Win32DialogWindow*>(lParam)->Initialise(window);
    }
    auto* self = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr) return FALSE;
    switch (message) {
        case WM_COMMAND:
            self->Command(wParam);
            return TRUE;
        case WM_DESTROY:  // the controls are still there
            self->Destroyed();
            return FALSE;
        case WM_NCDESTROY:
            self->window_ = nullptr;
            SetWindowLongPtrW(window, DWLP_USER, 0);
            return FALSE;
        default:
            return FALSE;  // the system's dialog handling does the rest
    }
}

INT_PTR Win32DialogWindow::Initialise(HWND window) {
    window_ = window;
    try {
        open_.emplace(dialog_, *this, template_);
        return open_->FocusWanted() ? TRUE : FALSE;
    } catch (...) {
        failure_ = std::current_exception();
        End(kDialogFailed);
        return TRUE;
    }
}

void Win32DialogWindow::Command(WPARAM wParam) {
    const auto id = static_cast<int32_t>(LOWORD(wParam));
    switch (HIWORD(wParam)) {
        case BN_CLICKED:  // also Enter and Escape, as the default button and IDCANCEL
            Route(id, ControlEvent::kClicked);
            break;
        case CBN_CLOSEUP:
            if (Control(id, ControlKind::kDropDownList) != nullptr) Route(id, ControlEvent::kDropDownClosed);
            break;
        case CBN_SELCHANGE:
            // Chosen with the keyboard on a closed list: no drop-down ever closes, but
            // the choice is made as if one had.
            if (HWND list = Control(id, ControlKind::kDropDownList); list && !SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0)) {
                Route(id, ControlEvent::kDropDownClosed);
            }
            break;
        default:
            break;
    }
}

void Win32DialogWindow::Route(int32_t id, ControlEvent event) {
    if (failure_) return;
    try {
        dialog_.Command(id, event);
    } catch (...) {
        failure_ = std::current_exception();
        End(kDialogFailed);
    }
}

void Win32DialogWindow::Destroyed() { open_.reset(); }

HWND Win32DialogWindow::Control(int32_t id, ControlKind kind) const {
    const ControlTemplate* control = template_.Control(id);
    return window_ != nullptr && control != nullptr && control->kind == kind ? GetDlgItem(window_, id) : nullptr;
}

HWND Win32DialogWindow::Button(int32_t id) const {
    HWND button = Control(id, ControlKind::kCheckBox);
    return button != nullptr ? button : Control(id, ControlKind::kRadioButton);
}

void Win32DialogWindow::SetTitle(std::u16string_view title) {
    if (window_ != nullptr) SetWindowTextW(window_, Wide(title).c_str());
}

std::u16string Win32DialogWindow::Title() const { return WindowText(window_); }

void Win32DialogWindow::SetControlText(int32_t id, std::u16string_view text) {
    if (window_ != nullptr && template_.Control(id) != nullptr) SetDlgItemTextW(window_, id, Wide(text).c_str());
}

std::u16string Win32DialogWindow::ControlText(int32_t id) const {
    return window_ != nullptr && template_.Control(id) != nullptr ? WindowText(GetDlgItem(window_, id))
                                                                  : std::u16string();
}

void Win32DialogWindow::SetCheck(int32_t id, int32_t state) {
    if (HWND button = Button(id)) SendMessageW(button, BM_SETCHECK, state != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

int32_t Win32DialogWindow::Check(int32_t id) const {
    HWND button = Button(id);
    return button != nullptr && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32DialogWindow::ShowControl(int32_t id, bool shown) {
    HWND control = window_ != nullptr && template_.Control(id) != nullptr ? GetDlgItem(window_, id) : nullptr;
    if (control != nullptr) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

void Win32DialogWindow::EnableControl(int32_t id, bool enabled) {
    HWND control = window_ != nullptr && template_.Control(id) != nullptr ? GetDlgItem(window_, id) : nullptr;
    if (control != nullptr) EnableWindow(control, enabled ? TRUE : FALSE);
}

void Win32DialogWindow::ClearList(int32_t id) {
    if (HWND list = Control(id, ControlKind::kDropDownList)) SendMessageW(list, CB_RESETCONTENT, 0, 0);
}

void Win32DialogWindow::InsertListItem(int32_t id, int32_t position, std::u16string_view text) {
    HWND list = Control(id, ControlKind::kDropDownList);
    if (list == nullptr) return;
    const std::wstring item = Wide(text);
    SendMessageW(list, CB_INSERTSTRING, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(item.c_str()));
}

int32_t Win32DialogWindow::ListCount(int32_t id) const {
    HWND list = Control(id, ControlKind::kDropDownList);
    const LRESULT count = list != nullptr ? SendMessageW(list, CB_GETCOUNT, 0, 0) : 0;
    return count > 0 ? static_cast<int32_t>(count) : 0;
}

void Win32DialogWindow::SelectListItem(int32_t id, int32_t index) {
    if (HWND list = Control(id, ControlKind::kDropDownList)) {
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

int32_t Win32DialogWindow::ListSelection(int32_t id) const {
    HWND list = Control(id, ControlKind::kDropDownList);
    const LRESULT selection = list != nullptr ? SendMessageW(list, CB_GETCURSEL, 0, 0) : CB_ERR;
    return selection >= 0 ? static_cast<int32_t>(selection) : kListError;
}

IDispatch* Win32DialogWindow::ControlObject(int32_t id) {
    GridWindow* grid = GridWindow::From(Control(id, ControlKind::kGrid));
    return grid != nullptr ? grid->Control().Interface() : nullptr;
}

void Win32DialogWindow::End(int32_t result) {
    if (ended_) return;
    ended_ = true;
    if (window_ != nullptr) EndDialog(window_, result);
}

}  // namespace korvan::platform::win
