#include "platform/dialogs/win32/grid_view_win.h"

#include <mutex>
#include <string>

namespace korvan::platform::win {
namespace {

constexpr int kSelfSlot = 0;  // the window's extra bytes hold its GridWindow
constexpr int kTwipsPerInch = 1440;
constexpr int kDefaultColumnPixels = 64;
constexpr int kListId = 1;

// Alignments 0..2 are left, 3..5 centred, 6..8 right; 9 (general) is left for text.
int ListFormat(int32_t alignment) {
    if (alignment >= 3 && alignment <= 5) return LVCFMT_CENTER;
    if (alignment >= 6 && alignment <= 8) return LVCFMT_RIGHT;
    return LVCFMT_LEFT;
}

int HeaderFormat(int32_t alignment) {
    if (alignment >= 3 && alignment <= 5) return HDF_CENTER;
    if (alignment >= 6 && alignment <= 8) return HDF_RIGHT;
    return HDF_LEFT;
}

// Sets a flag for the lifetime of this object.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Raised() { flag_ = was_; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
    bool was_;
};

std::mutex registrationMutex;
int registrationUses = 0;
bool classRegistered = false;

}  // namespace

GridClassRegistration::GridClassRegistration(HINSTANCE module) : module_(module) {
    const std::lock_guard<std::mutex> lock(registrationMutex);
    if (registrationUses == 0) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &GridWindow::Procedure;
        windowClass.cbWndExtra = sizeof(GridWindow*);
        windowClass.hInstance = module;
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kGridClassName;
        classRegistered = RegisterClassExW(&windowClass) != 0;
    }
    ++registrationUses;
    registered_ = classRegistered;
}

GridClassRegistration::~GridClassRegistration() {
    const std::lock_guard<std::mutex> lock(registrationMutex);
    if (--registrationUses > 0 || !classRegistered) return;
    UnregisterClassW(kGridClassName, module_);
    classRegistered = false;
}

GridWindow* GridWindow::From(HWND window) {
    if (window == nullptr) return nullptr;
    const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    return procedure == &GridWindow::Procedure ? Of(window) : nullptr;
}

GridWindow* GridWindow::Of(HWND window) {
    return reinterpret_cast<GridWindow*>(GetWindowLongPtrW(window, kSelfSlot));
}

GridWindow::~GridWindow() { control_.Model().SetListener(nullptr); }

LRESULT CALLBACK GridWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing may leave a window procedure: what fails here makes no grid, or leaves
    // the grid as it was.
    try {
        switch (message) {
            case WM_NCCREATE:
                SetWindowLongPtrW(window, kSelfSlot, reinterpret_cast<LONG_PTR>(new GridWindow(window)));
                break;
            case WM_CREATE:
                if (GridWindow* grid = Of(window); grid == nullptr || !grid->CreateList()) return -1;
                return 0;
            case WM_DESTROY:  // the list view is still there to let go of
            case WM_NCDESTROY:
                delete Of(window);
                SetWindowLongPtrW(window, kSelfSlot, 0);
                break;
            default:
                if (GridWindow* grid = Of(window)) {
                    LRESULT result = 0;
                    if (grid->Handle(message, wParam, lParam, result)) return result;
                }
                break;
        }
    } catch (...) {
        if (message == WM_NCCREATE) return FALSE;
        if (message == WM_CREATE) return -1;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool GridWindow::CreateList() {
    RECT client{};
    GetClientRect(self_, &client);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                        LVS_NOSORTHEADER | LVS_SHAREIMAGELISTS;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(self_, GWLP_HINSTANCE));
    list_.reset(CreateWindowExW(0, WC_LISTVIEWW, L"", style, 0, 0, client.right, client.bottom, self_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr));
    if (!list_) return false;
    const LPARAM extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
    SendMessageW(list_.get(), LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    control_.Model().SetListener(this);
    GridContentChanged();
    return true;
}

bool GridWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!list_) return false;
    switch (message) {
        case WM_SIZE:
            MoveWindow(list_.get(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return true;
        case WM_SETFONT:  // from the dialog, for its controls: the list view and its header use it
            font_ = reinterpret_cast<HFONT>(wParam);
            SendMessageW(list_.get(), WM_SETFONT, wParam, lParam);
            SyncLineHeight();
            return true;
        case WM_GETFONT:
            result = reinterpret_cast<LRESULT>(font_);
            return true;
        case WM_SETFOCUS:
            SetFocus(list_.get());
            return true;
        case WM_ENABLE:
            EnableWindow(list_.get(), static_cast<BOOL>(wParam));
            return true;
        case WM_NOTIFY: {
            const auto* note = reinterpret_cast<const NMHDR*>(lParam);
            if (note == nullptr) return false;
            if (note->hwndFrom == list_.get() && note->code == LVN_ITEMCHANGED) {
                LineChanged(*reinterpret_cast<const NMLISTVIEW*>(lParam));
            } else if (note->hwndFrom == Header()) {
                result = HeaderNotified(*reinterpret_cast<const NMHEADERW*>(lParam));
            }
            return true;
        }
        default:
            return false;
    }
}

HWND GridWindow::Header() const { return reinterpret_cast<HWND>(SendMessageW(list_.get(), LVM_GETHEADER, 0, 0)); }

LRESULT GridWindow::HeaderNotified(const NMHEADERW& note) {
    if (note.iItem != 0) return FALSE;
    switch (note.hdr.code) {
        case HDN_BEGINTRACKW:
        case HDN_BEGINTRACKA:
            return TRUE;  // the stand-in cannot be pulled open
        case HDN_ITEMCHANGEDW:
        case HDN_ITEMCHANGEDA:  // nor opened any other way
            if (note.pitem != nullptr && (note.pitem->mask & HDI_WIDTH) != 0 && note.pitem->cxy != 0) {
                SendMessageW(list_.get(), LVM_SETCOLUMNWIDTH, 0, 0);
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void GridWindow::GridContentChanged() {
    if (!list_) return;
    const Raised syncing(syncing_);
    {
        const RedrawHold hold(list_.get());
        SyncColumns();
        SyncLines();
        SyncLineHeight();
    }
    GridCursorMoved();
}

void GridWindow::SyncColumns() {
    const GridModel& model = control_.Model();
    HWND list = list_.get();
    HWND header = Header();
    const int32_t wanted = model.Cols() + 1;  // the stand-in first
    auto have = static_cast<int32_t>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    while (have > wanted) SendMessageW(list, LVM_DELETECOLUMN, static_cast<WPARAM>(--have), 0);
    if (have == 0) {
        LVCOLUMNW standIn{};
        standIn.mask = LVCF_WIDTH;
        if (SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&standIn)) < 0) return;
        have = 1;
    }
    for (int32_t c = 0; c < model.Cols(); ++c) {
        const GridColumn& layout = model.Column(c);
        std::wstring title = Wide(model.Cell(0, c));
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = ListFormat(layout.alignment);
        column.cx = layout.width >= 0 ? TwipsToPixels(layout.width, LOGPIXELSX) : kDefaultColumnPixels;
        column.pszText = title.data();
        const auto at = static_cast<WPARAM>(c + 1);
        SendMessageW(list, at < static_cast<WPARAM>(have) ? LVM_SETCOLUMNW : LVM_INSERTCOLUMNW, at,
                     reinterpret_cast<LPARAM>(&column));
        // The header cell has an alignment of its own.
        HDITEMW cell{};
        cell.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, at, reinterpret_cast<LPARAM>(&cell));
        cell.fmt = (cell.fmt & ~HDF_JUSTIFYMASK) | HeaderFormat(layout.fixedAlignment);
        SendMessageW(header, HDM_SETITEMW, at, reinterpret_cast<LPARAM>(&cell));
    }
}

void GridWindow::SyncLines() {
    const GridModel& model = control_.Model();
    HWND list = list_.get();
    const int32_t lines = model.Rows() - 1;
    auto have = static_cast<int32_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    while (have > lines) SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(--have), 0);
    for (; have < lines; ++have) {
        LVITEMW line{};
        line.mask = LVIF_TEXT;
        line.iItem = have;
        line.pszText = const_cast<wchar_t*>(L"");
        if (SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&line)) < 0) break;
    }
    for (int32_t r = 1; r <= have; ++r) {
        for (int32_t c = 0; c < model.Cols(); ++c) {
            std::wstring text = Wide(model.Cell(r, c));
            LVITEMW cell{};
            cell.iSubItem = c + 1;
            cell.pszText = text.data();
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(r - 1), reinterpret_cast<LPARAM>(&cell));
        }
    }
}

void GridWindow::SyncLineHeight() {
    const int height = TwipsToPixels(control_.Model().RowHeightMin(), LOGPIXELSY);
    if (height <= 0) {
        SendMessageW(list_.get(), LVM_SETIMAGELIST, LVSIL_SMALL, 0);
        lineHeight_.reset();
        return;
    }
    int width = 0;
    int current = 0;
    if (lineHeight_ && ImageList_GetIconSize(lineHeight_.get(), &width, &current) && current == height) return;
    UniqueImageList images(ImageList_Create(1, height, ILC_COLOR, 0, 1));
    if (!images) return;
    SendMessageW(list_.get(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.get()));
    lineHeight_ = std::move(images);  // the list view no longer holds the previous one
}

void GridWindow::GridCursorMoved() {
    if (!list_) return;
    const Raised syncing(syncing_);
    HWND list = list_.get();
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    const int32_t row = control_.Model().Row();
    if (row < 1) return;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row - 1), FALSE);
}

void GridWindow::LineChanged(const NMLISTVIEW& change) {
    if (syncing_ || change.iItem < 0 || (change.uChanged & LVIF_STATE) == 0) return;
    const bool picked = (change.uNewState & LVIS_SELECTED) != 0 && (change.uOldState & LVIS_SELECTED) == 0;
    if (picked) control_.Model().SetRow(change.iItem + 1);
}

int GridWindow::TwipsToPixels(int32_t twips, int axis) const {
    const WindowDc dc(list_.get());
    const int dotsPerInch = dc.Get() != nullptr ? GetDeviceCaps(dc.Get(), axis) : 96;
    return MulDiv(twips, dotsPerInch, kTwipsPerInch);
}

}  // namespace korvan::platform::win
