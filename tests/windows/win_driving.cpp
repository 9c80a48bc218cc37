#include "tests/windows/win_driving.h"

#include <commctrl.h>
#include <ole2.h>  // what GDI+'s header needs and the lean windows.h leaves out
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <type_traits>

namespace korvan::testing::win {
namespace {

constexpr UINT kTickMs = 30;
constexpr int kMessageTextId = 0xFFFF;  // the text of a system message box
constexpr wchar_t kDesktopSizes[] = L"Software\\Wine\\Explorer\\Desktops";
constexpr wchar_t kDesktopSize[] = L"1024x768";
// GDI+'s PNG encoder.
constexpr CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

bool IsDialogWindow(HWND window) {
    wchar_t name[16] = {};
    return GetClassNameW(window, name, 16) > 0 && std::wstring(name) == L"#32770";
}

bool HasControlOfClass(HWND dialog, int id, const wchar_t* className) {
    HWND control = GetDlgItem(dialog, id);
    wchar_t name[32] = {};
    return control != nullptr && GetClassNameW(control, name, 32) > 0 && lstrcmpiW(name, className) == 0;
}

// What tells this thread's dialogs apart: the controls their templates give them.
bool IsDialogOf(HWND window, int32_t templateId) {
    if (!IsDialogWindow(window) || !IsWindowVisible(window)) return false;
    if (templateId == 101) return HasControlOfClass(window, 8001, L"ZelkGrid");
    if (templateId == 8003) return HasControlOfClass(window, 8004, L"Edit");
    return false;
}

struct Search {
    const std::function<bool(HWND)>* wanted;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    if (!(*search.wanted)(window)) return TRUE;
    search.found = window;
    return FALSE;
}

HWND FindThreadWindow(const std::function<bool(HWND)>& wanted) {
    Search search{&wanted, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ListOf(HWND grid) { return FindWindowExW(grid, nullptr, WC_LISTVIEWW, nullptr); }

template <class Handle, auto Release>
struct Releaser {
    void operator()(Handle handle) const { Release(handle); }
};
template <class Handle, auto Release>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, Releaser<Handle, Release>>;

void ReleaseScreenDc(HDC dc) { ReleaseDC(nullptr, dc); }
void DisposeImage(Gdiplus::GpBitmap* image) { Gdiplus::DllExports::GdipDisposeImage(image); }

// GDI+ for the lifetime of this object.
class GdiPlus {
public:
    GdiPlus() {
        const Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiPlus() {
        if (started_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiPlus(const GdiPlus&) = delete;
    GdiPlus& operator=(const GdiPlus&) = delete;
    bool Started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

bool SavePng(HBITMAP bitmap, const std::wstring& path) {
    const GdiPlus gdiPlus;
    Gdiplus::GpBitmap* image = nullptr;
    if (!gdiPlus.Started()) return false;
    if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) != Gdiplus::Ok) return false;
    const Owned<Gdiplus::GpBitmap*, DisposeImage> owned(image);
    return Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
}

// A desktop of this process. Wine gives a desktop that its registry sizes a window
// of its own, with title bars drawn on the windows in it; the size is needed only
// while the desktop's window is made, and goes with the process.
class OwnDesktop {
public:
    OwnDesktop() : name_(L"korvan-dialogs-" + std::to_wstring(GetCurrentProcessId())) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopSizes, name_.c_str(), REG_SZ, kDesktopSize, sizeof kDesktopSize);
        handle_.reset(CreateDesktopW(name_.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr));
    }
    ~OwnDesktop() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopSizes, name_.c_str()); }
    OwnDesktop(const OwnDesktop&) = delete;
    OwnDesktop& operator=(const OwnDesktop&) = delete;
    HDESK Handle() const { return handle_.get(); }

private:
    std::wstring name_;
    Owned<HDESK, CloseDesktop> handle_;
};

thread_local Steps* ticking = nullptr;

}  // namespace

bool OnOwnDesktop() {
    static const OwnDesktop desktop;
    HDESK handle = desktop.Handle();
    return handle != nullptr && (GetThreadDesktop(GetCurrentThreadId()) == handle || SetThreadDesktop(handle));
}

HWND FindDialog(int32_t templateId) {
    return FindThreadWindow([templateId](HWND window) { return IsDialogOf(window, templateId); });
}

HWND FindControl(int32_t templateId, int32_t id) {
    HWND dialog = FindDialog(templateId);
    return dialog != nullptr ? GetDlgItem(dialog, id) : nullptr;
}

HWND FindMessageBox() {
    return FindThreadWindow([](HWND window) {
        // The message's text has the number that the templates give their unnamed labels.
        return IsDialogWindow(window) && IsWindowVisible(window) && GetDlgItem(window, kMessageTextId) != nullptr &&
               !IsDialogOf(window, 101) && !IsDialogOf(window, 8003);
    });
}

bool IsOnScreen(HWND window) { return window != nullptr && IsWindowVisible(window) && !IsIconic(window); }

void Type(HWND edit, const std::wstring& text) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Pick(HWND list, int index) {
    SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
}

void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

void Key(HWND control, UINT key) {
    SendMessageW(control, WM_KEYDOWN, key, 1);
    SendMessageW(control, WM_KEYUP, key, 0xC0000001);
}

void PickLine(HWND grid, int line) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(ListOf(grid), LVM_SETITEMSTATE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&state));
}

std::wstring MessageText(HWND box) {
    wchar_t text[512] = {};
    GetDlgItemTextW(box, kMessageTextId, text, 512);
    return text;
}

std::vector<std::vector<std::wstring>> GridLines(HWND grid) {
    HWND list = ListOf(grid);
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const auto columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<std::vector<std::wstring>> lines(static_cast<std::size_t>(count > 0 ? count : 0));
    for (int r = 0; r < count; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0) == 0) continue;  // unseen
            wchar_t text[256] = {};
            LVITEMW cell{};
            cell.iSubItem = c;
            cell.pszText = text;
            cell.cchTextMax = 256;
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&cell));
            lines[static_cast<std::size_t>(r)].push_back(text);
        }
    }
    return lines;
}

Picture TakePicture(HWND window, const std::wstring& path) {
    RECT frame{};
    if (!GetWindowRect(window, &frame)) return {};
    Picture picture;
    picture.width = frame.right - frame.left;
    picture.height = frame.bottom - frame.top;

    const Owned<HDC, ReleaseScreenDc> screen(GetDC(nullptr));
    const Owned<HDC, DeleteDC> memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = picture.width;
    format.bmiHeader.biHeight = -picture.height;  // top line first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const Owned<HBITMAP, DeleteObject> bitmap(
        CreateDIBSection(screen.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!screen || !memory || !bitmap || bits == nullptr) return {};
    const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, picture.width, picture.height, screen.get(), frame.left, frame.top,
           SRCCOPY | CAPTUREBLT);
    SelectObject(memory.get(), previous);
    GdiFlush();

    const auto* pixels = static_cast<const uint32_t*>(bits);
    std::set<uint32_t> colours;
    for (int i = 0; i < picture.width * picture.height; ++i) colours.insert(pixels[i] & 0xFFFFFF);
    picture.colours = static_cast<int>(colours.size());
    if (!path.empty() && !SavePng(bitmap.get(), path)) picture.colours = 0;
    return picture;
}

Steps::~Steps() { Stop(); }

Steps& Steps::WaitFor(std::string what, std::function<bool()> ready) {
    steps_.push_back({std::move(what), std::move(ready), nullptr});
    return *this;
}

Steps& Steps::Do(std::function<void()> act) {
    steps_.push_back({"", nullptr, std::move(act)});
    return *this;
}

Steps& Steps::Pause(int ticks) {
    auto left = std::make_shared<int>(ticks);
    return WaitFor("a pause", [left] { return (*left)-- <= 0; });
}

void Steps::Start() {
    waitingSince_ = GetTickCount64();
    ticking = this;
    timer_ = SetTimer(nullptr, 0, kTickMs, &Steps::Tick);
}

void Steps::Stop() {
    if (timer_ != 0) KillTimer(nullptr, timer_);
    timer_ = 0;
    if (ticking == this) ticking = nullptr;
}

void CALLBACK Steps::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    Steps* steps = ticking;
    if (steps == nullptr || steps->timer_ != timer) return;
    if (steps->Finished()) {
        steps->Stop();
        return;
    }
    Step& step = steps->steps_[steps->next_];
    if (step.ready && !step.ready()) {
        if (GetTickCount64() - steps->waitingSince_ > static_cast<ULONGLONG>(steps->timeoutSeconds_) * 1000) {
            std::fprintf(stderr, "gave up waiting for %s\n", step.what.c_str());
            std::fflush(stderr);
            std::_Exit(3);
        }
        return;
    }
    ++steps->next_;
    steps->waitingSince_ = GetTickCount64();
    // Later ticks go on while this act holds a modal loop.
    if (step.act) step.act();
}

}  // namespace korvan::testing::win
