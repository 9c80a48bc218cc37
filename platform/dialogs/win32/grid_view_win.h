// The grid control of the dialogs on Windows: the window class "ZelkGrid" that the
// channel dialog's template names, which the driver registers for its own module
// while one of its dialogs runs. Each such window shows a GridModel on the common
// controls' list view in report mode: row 0 becomes the column headers, rows from 1
// the lines, and the model's current row is the selected line. The dialog drives the
// model through the grid's dispatch identifiers (GridControl); picking a line moves
// the model's cursor. The list view aligns its first column to the left whatever it
// is told, so that column is an empty stand-in of no width, and the model's columns
// follow it.
#pragma once

#include <windows.h>

#include "platform/dialogs/grid_control.h"
#include "platform/dialogs/win32/window_support_win.h"

namespace korvan::platform::win {

inline constexpr wchar_t kGridClassName[] = L"ZelkGrid";

// Keeps the class registered for `module` while any registration object lives, on
// any thread; the last one to go unregisters it, so that the class never outlives
// the code of its window procedure.
class GridClassRegistration {
public:
    explicit GridClassRegistration(HINSTANCE module);
    ~GridClassRegistration();
    GridClassRegistration(const GridClassRegistration&) = delete;
    GridClassRegistration& operator=(const GridClassRegistration&) = delete;

    bool Registered() const { return registered_; }

private:
    HINSTANCE module_;
    bool registered_ = false;
};

class GridWindow final : public GridListener {
public:
    // The grid that `window` shows; nullptr when `window` is not a grid window.
    static GridWindow* From(HWND window);

    GridControl& Control() { return control_; }

    void GridContentChanged() override;
    void GridCursorMoved() override;

private:
    explicit GridWindow(HWND self) : self_(self) {}
    ~GridWindow();
    GridWindow(const GridWindow&) = delete;
    GridWindow& operator=(const GridWindow&) = delete;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static GridWindow* Of(HWND window);
    // Answers true, with `result`, for the messages the grid handles itself.
    bool Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool CreateList();
    HWND Header() const;
    LRESULT HeaderNotified(const NMHEADERW& note);
    void SyncColumns();
    void SyncLines();
    void SyncLineHeight();
    void LineChanged(const NMLISTVIEW& change);
    int TwipsToPixels(int32_t twips, int axis) const;

    friend class GridClassRegistration;

    HWND self_;
    GridControl control_;
    HFONT font_ = nullptr;  // the dialog's; not ours to delete
    // The list view draws its lines at least as high as its small images: an empty
    // image list of the model's minimum row height sets the height. Released after
    // the list view, which only borrows it.
    UniqueImageList lineHeight_;
    UniqueWindow list_;
    bool syncing_ = false;  // the list view reports what the model told it: no echo
};

}  // namespace korvan::platform::win
