// The system's dialog backend on Windows: modal dialogs from the templates in the
// current resource module (the driver's own unless one is selected), the grid class
// they embed registered while they run, and the system's message box. A dialog
// opened from another's handler is owned by it; the first one by the window that is
// active on the calling thread, else by a visible, enabled top-level window of that
// thread, so that the host's window cannot be used behind it. Where no one would see
// it (a service's window station) no window is made, and where none can be made, the
// dialog fails and counts as cancelled.
#include <windows.h>
#include <commctrl.h>

#include "platform/dialogs/dialog_backend.h"
#include "platform/dialogs/dialog_resource_module.h"
#include "platform/dialogs/win32/dialog_window_win.h"
#include "platform/dialogs/win32/grid_view_win.h"
#include "platform/dialogs/win32/window_support_win.h"

namespace korvan::platform {
namespace {

using win::Win32DialogWindow;

// The module whose resources hold the templates: the one selected, or this one.
HINSTANCE TemplateModule() {
    ModuleHandle module = ResourceModule();
    if (module == nullptr) module = ModuleContaining(reinterpret_cast<const void*>(&SystemDialogBackend));
    return static_cast<HINSTANCE>(const_cast<void*>(module));
}

// The dialogs running on this thread, innermost first, each linked to the one it
// runs in; a thread's dialogs never see another thread's.
struct Running {
    Win32DialogWindow* window;
    const Running* outer;
};
thread_local const Running* innermost = nullptr;

class OnStack {
public:
    explicit OnStack(Win32DialogWindow& window) : entry_{&window, innermost} { innermost = &entry_; }
    ~OnStack() { innermost = entry_.outer; }
    OnStack(const OnStack&) = delete;
    OnStack& operator=(const OnStack&) = delete;

private:
    Running entry_;
};

BOOL CALLBACK TakeUsableWindow(HWND window, LPARAM found) {
    if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The window of the calling thread that a first dialog disables while it runs.
HWND HostWindow() {
    if (HWND active = GetActiveWindow()) return active;
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &TakeUsableWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND OwnerFor(const DialogWindow* asking) {
    for (const Running* running = innermost; running != nullptr; running = running->outer) {
        if (running->window == asking && running->window->Handle() != nullptr) return running->window->Handle();
    }
    if (innermost != nullptr && innermost->window->Handle() != nullptr) return innermost->window->Handle();
    return HostWindow();
}

class Win32Backend final : public DialogBackend {
public:
    int32_t RunModal(Dialog& dialog, const DialogTemplate& dialogTemplate) override {
        if (!win::SeenByTheUser()) return kDialogFailed;
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        const HINSTANCE module = TemplateModule();
        const win::GridClassRegistration gridClass(module);
        if (!gridClass.Registered()) return kDialogFailed;
        const HWND owner = OwnerFor(nullptr);
        Win32DialogWindow window(dialog, dialogTemplate);
        const OnStack running(window);
        return window.Run(module, owner);
    }

    int32_t ShowMessageBox(DialogWindow* owner, std::u16string_view text, std::u16string_view caption,
                           uint32_t style) override {
        if (!win::SeenByTheUser()) return 0;
        UINT type = (style & kMbOkCancel) != 0 ? MB_OKCANCEL : MB_OK;
        if ((style & kMbIconQuestion) != 0) type |= MB_ICONQUESTION;
        const int answer = MessageBoxW(OwnerFor(owner), win::Wide(text).c_str(), win::Wide(caption).c_str(), type);
        if (answer == IDOK) return kIdOk;
        return answer == IDCANCEL ? kIdCancel : 0;
    }
};

}  // namespace

DialogBackend& SystemDialogBackend() {
    static Win32Backend onScreen;  // keeps no state: each thread's dialogs are its own
    return onScreen;
}

}  // namespace korvan::platform
