// A modal dialog made from a template of the current resource module: it is
// initialised when its window is up, routes the commands of its controls to
// handlers, exchanges data between controls and members, and ends with a result.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/dialogs/dialog_template.h"
#include "platform/dialogs/dialog_window.h"

namespace korvan::platform {

class DataExchange;

enum DialogResult : int32_t { kDialogFailed = -1, kIdOk = 1, kIdCancel = 2 };

enum class ControlEvent : uint8_t {
    kClicked,         // a button, check box or radio button was pressed
    kDropDownClosed,  // a drop-down list closed its list
};

class Dialog {
public:
    explicit Dialog(int32_t templateId) : templateId_(templateId) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog until it ends: its result, or kDialogFailed when the template
    // is missing or the backend cannot make the window.
    int32_t DoModal();

    // What a window reports: the control `id` saw `event`. Ignored once ended.
    void Command(int32_t id, ControlEvent event = ControlEvent::kClicked);

    int32_t TemplateId() const { return templateId_; }
    bool IsOpen() const { return window_ != nullptr; }
    // The running window and its template; only while IsOpen().
    DialogWindow& Window() const { return *window_; }
    const DialogTemplate& Template() const { return *template_; }

protected:
    // Base: shows the members in the controls. true lets the window focus its first
    // control; false says the dialog has placed the focus itself.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange&) {}
    virtual void OnOK();      // takes the controls' values and ends with kIdOk
    virtual void OnCancel();  // ends with kIdCancel
    virtual void OnDestroy() {}  // the window is about to go; must not throw

    void OnCommand(int32_t id, std::function<void()> handler);
    void OnDropDownClosed(int32_t id, std::function<void()> handler);

    // true: controls to members; false: members to controls.
    bool UpdateData(bool saveAndValidate = true);
    void EndDialog(int32_t result);
    // A message box owned by this dialog, captioned with its title.
    int32_t MessageBox(std::u16string_view text, uint32_t style);
    void SetWindowText(std::u16string_view title);
    void ShowControl(int32_t id, bool shown);
    void EnableControl(int32_t id, bool enabled);
    IDispatch* ControlObject(int32_t id);

private:
    friend class OpenDialog;
    struct Route {
        int32_t id;
        ControlEvent event;
        std::function<void()> handler;
    };

    int32_t templateId_;
    DialogWindow* window_ = nullptr;
    const DialogTemplate* template_ = nullptr;
    std::vector<Route> routes_;
};

// Held by a backend while a dialog's window exists: attaches the dialog to the
// window and initialises it; on destruction tells the dialog and detaches it.
class OpenDialog {
public:
    OpenDialog(Dialog& dialog, DialogWindow& window, const DialogTemplate& dialogTemplate);
    ~OpenDialog();
    OpenDialog(const OpenDialog&) = delete;
    OpenDialog& operator=(const OpenDialog&) = delete;

    // What the initialisation answered: true when the window should focus its first control.
    bool FocusWanted() const { return focusWanted_; }

private:
    void Detach();

    Dialog& dialog_;
    bool focusWanted_ = true;
};

}  // namespace korvan::platform
