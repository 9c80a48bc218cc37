// What the Win32 dialog files share: whether the user can see a window at all, texts
// between the dialogs' UTF-16 and the system's wide strings (both 16 bits on Windows),
// and owners for the system's handles, each released exactly once.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace korvan::platform::win {

// Whether windows this process makes are seen by anyone: its window station is the
// interactive one (WSF_VISIBLE). A service's is not (session 0, or a station of its
// own), and a dialog there would wait for ever for a click that cannot come.
inline bool SeenByTheUser() {
    USEROBJECTFLAGS flags{};
    const HWINSTA station = GetProcessWindowStation();
    return station != nullptr && GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

// A zero-terminated copy for the system's calls.
inline std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

inline std::u16string Utf16(const wchar_t* text, std::size_t length) {
    return std::u16string(text, text + length);
}

// A window's text (a title, a control's content); empty when there is none.
inline std::u16string WindowText(HWND window) {
    if (window == nullptr) return {};
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    return Utf16(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

struct ImageListDeleter {
    void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
using UniqueImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

// A window this code created and destroys; the system destroys it anyway with its
// parent, so the owner lets go before the parent goes.
struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// A window's device context for measuring, given back on destruction.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Holds a window's painting back while many changes are made, then repaints it once.
class RedrawHold {
public:
    explicit RedrawHold(HWND window) : window_(window) { SendMessageW(window_, WM_SETREDRAW, FALSE, 0); }
    ~RedrawHold() {
        SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window_, nullptr, TRUE);
    }
    RedrawHold(const RedrawHold&) = delete;
    RedrawHold& operator=(const RedrawHold&) = delete;

private:
    HWND window_;
};

}  // namespace korvan::platform::win
