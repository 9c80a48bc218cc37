// A dialog window without a display: the controls of the template as plain state.
// It is both the window the dialog drives and the screen a scripted user reads and
// acts on; the user's actions reach the dialog as a real window's would.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialogs/dialog.h"
#include "platform/dialogs/grid_control.h"

namespace korvan::platform {

class HeadlessWindow final : public DialogWindow {
public:
    HeadlessWindow(Dialog& dialog, const DialogTemplate& dialogTemplate);

    // DialogWindow
    void SetTitle(std::u16string_view title) override { title_ = title; }
    std::u16string Title() const override { return title_; }
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

    // What the user sees.
    int32_t TemplateId() const { return template_.id; }
    int32_t Result() const { return result_; }
    bool IsVisible(int32_t id) const;
    bool IsEnabled(int32_t id) const;
    std::vector<std::u16string> Items(int32_t id) const;
    const GridModel* Grid(int32_t id) const;

    // What the user does. Each answers false, doing nothing, when the control is
    // missing, of another kind, hidden or disabled, or the dialog has ended.
    bool Type(int32_t id, std::u16string_view text);  // replaces an edit field's text
    bool Pick(int32_t id, int32_t index);             // opens a drop-down list, picks, closes it
    bool Click(int32_t id);                           // presses a button, check box or radio button
    bool ClickGridRow(int32_t id, int32_t row);
    void Close();  // the window's close box, which asks the dialog to cancel

private:
    struct Control {
        ControlKind kind;
        std::u16string text;
        int32_t check = 0;
        bool visible = true;
        bool enabled = true;
        std::vector<std::u16string> items;
        int32_t selection = -1;
        std::unique_ptr<GridControl> grid;
    };
    Control* Find(int32_t id);
    const Control* Find(int32_t id) const;
    Control* Usable(int32_t id);
    void Press(int32_t id, Control& control);

    Dialog& dialog_;
    const DialogTemplate& template_;
    std::u16string title_;
    std::map<int32_t, Control> controls_;
    bool ended_ = false;
    int32_t result_ = kDialogFailed;
};

}  // namespace korvan::platform
