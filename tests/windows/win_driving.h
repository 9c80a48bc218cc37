// Driving the driver's Win32 dialogs from inside the process, the way a person
// would: find the dialogs of this thread and their controls, type, pick, click and
// answer message boxes with the messages those actions send, and take pictures.
// Everything runs from steps on a timer of the dialog's thread, since a modal dialog
// holds the thread in its own message loop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace korvan::testing::win {

// Puts this thread on a desktop of its own before it makes any window: Wine shows it
// as a window of the X display with title bars, whatever the rest of the prefix's
// session has. False when the desktop cannot be made or taken.
bool OnOwnDesktop();

HWND FindDialog(int32_t templateId);  // a visible one of this thread: 101 or 8003
HWND FindControl(int32_t templateId, int32_t id);
HWND FindMessageBox();
bool IsOnScreen(HWND window);

void Type(HWND edit, const std::wstring& text);  // WM_SETTEXT
void Pick(HWND list, int index);  // opens the drop-down list, selects, closes it (CBN_CLOSEUP)
void Click(HWND button);          // BM_CLICK
void Key(HWND control, UINT key);  // a key pressed and let go while the control has the focus
void PickLine(HWND grid, int line);  // selects a line of the grid's list view, from 0
std::wstring MessageText(HWND box);
// The lines of a grid's list view (below its header), cell by cell, as far as they
// can be seen: columns of no width are left out.
std::vector<std::vector<std::wstring>> GridLines(HWND grid);

struct Picture {
    int width = 0;
    int height = 0;
    int colours = 0;  // distinct pixel values: a blank window has one or two
};
// Takes the window as the screen shows it, title bar included; saves it as PNG when
// `path` is not empty (colours 0 when that fails).
Picture TakePicture(HWND window, const std::wstring& path);

// Steps in order, one per tick of a thread timer: a wait holds the queue until its
// condition holds; an act runs once and may run a modal loop of its own, during
// which later steps keep running. A wait that never ends stops the process.
class Steps {
public:
    explicit Steps(int timeoutSeconds = 20) : timeoutSeconds_(timeoutSeconds) {}
    ~Steps();
    Steps(const Steps&) = delete;
    Steps& operator=(const Steps&) = delete;

    Steps& WaitFor(std::string what, std::function<bool()> ready);
    Steps& Do(std::function<void()> act);
    Steps& Pause(int ticks);
    void Start();
    bool Finished() const { return next_ == steps_.size(); }

private:
    struct Step {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);
    void Stop();

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    UINT_PTR timer_ = 0;
    ULONGLONG waitingSince_ = 0;
    int timeoutSeconds_;
};

}  // namespace korvan::testing::win
