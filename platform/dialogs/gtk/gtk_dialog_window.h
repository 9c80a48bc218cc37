// A dialog's window on screen: a toplevel window with the template's controls at
// their places, a modal loop of its own, and the controls' signals routed to the
// dialog as commands. A handler's exception ends the loop and is rethrown by Run.
#pragma once

#include <gtk/gtk.h>

#include <exception>
#include <map>
#include <memory>
#include <vector>

#include "platform/dialogs/dialog.h"
#include "platform/dialogs/gtk/gtk_dialog_units.h"
#include "platform/dialogs/gtk/gtk_grid_view.h"
#include "platform/dialogs/gtk/gtk_handles.h"

namespace korvan::platform::gtk {

class GtkDialogWindow final : public DialogWindow {
public:
    GtkDialogWindow(Dialog& dialog, const DialogTemplate& dialogTemplate, GtkWindow* parent);
    ~GtkDialogWindow() override;
    GtkDialogWindow(const GtkDialogWindow&) = delete;
    GtkDialogWindow& operator=(const GtkDialogWindow&) = delete;

    GtkWindow* Toplevel() const { return GTK_WINDOW(window_.get()); }
    // Shows the window and runs until the dialog ends; the result.
    int32_t Run(bool focusFirstControl);

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
    struct Control {
        ControlKind kind;
        GtkWidget* widget;
        std::unique_ptr<GridView> grid;
    };
    void BuildControls(const DialogTemplate& dialogTemplate);
    void Place(const ControlTemplate& source, GtkWidget* widget, const DialogUnits& units);
    void Connect(int32_t id, ControlKind kind, GtkWidget* widget);
    GtkWidget* Find(int32_t id, ControlKind kind) const;
    void Route(int32_t id, ControlEvent event);
    void FocusFirstControl();

    static void OnClicked(GtkWidget* widget, gpointer self);
    static void OnPopupShown(GtkWidget* widget, GParamSpec*, gpointer self);
    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);
    static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);

    Dialog& dialog_;
    ScreenStyle style_;
    OwnedWidget window_;
    GtkWidget* header_;  // the window's children from here on
    GtkWidget* fixed_;
    std::map<int32_t, Control> controls_;  // let go of before the window goes
    std::vector<int32_t> tabOrder_;        // template order
    GMainLoop* loop_ = nullptr;            // while Run runs
    bool ended_ = false;
    int32_t result_ = kDialogFailed;
    int settingState_ = 0;  // the dialog is changing a control: no command for that
    std::exception_ptr failure_;
};

}  // namespace korvan::platform::gtk
