#include "platform/dialogs/headless/dialog_headless_window.h"

namespace korvan::platform {

HeadlessWindow::HeadlessWindow(Dialog& dialog, const DialogTemplate& dialogTemplate)
    : dialog_(dialog), template_(dialogTemplate), title_(dialogTemplate.caption) {
    for (const ControlTemplate& source : dialogTemplate.controls) {
        if (source.id == kNoControlId) continue;
        Control control;
        control.kind = source.kind;
        control.text = source.text;
        control.visible = (source.style & kHidden) == 0;
        control.enabled = (source.style & kDisabled) == 0;
        if (source.kind == ControlKind::kGrid) control.grid = std::make_unique<GridControl>();
        controls_.insert_or_assign(source.id, std::move(control));
    }
}

HeadlessWindow::Control* HeadlessWindow::Find(int32_t id) {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : &found->second;
}

const HeadlessWindow::Control* HeadlessWindow::Find(int32_t id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : &found->second;
}

void HeadlessWindow::SetControlText(int32_t id, std::u16string_view text) {
    if (Control* control = Find(id)) control->text = text;
}

std::u16string HeadlessWindow::ControlText(int32_t id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->text : std::u16string();
}

void HeadlessWindow::SetCheck(int32_t id, int32_t state) {
    if (Control* control = Find(id)) control->check = state;
}

int32_t HeadlessWindow::Check(int32_t id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->check : 0;
}

void HeadlessWindow::ShowControl(int32_t id, bool shown) {
    if (Control* control = Find(id)) control->visible = shown;
}

void HeadlessWindow::EnableControl(int32_t id, bool enabled) {
    if (Control* control = Find(id)) control->enabled = enabled;
}

void HeadlessWindow::ClearList(int32_t id) {
    if (Control* control = Find(id)) {
        control->items.clear();
        control->selection = -1;
    }
}

void HeadlessWindow::InsertListItem(int32_t id, int32_t position, std::u16string_view text) {
    Control* control = Find(id);
    if (control == nullptr) return;
    control->items.emplace(control->items.begin() + position, text);
    if (control->selection >= position) ++control->selection;
}

int32_t HeadlessWindow::ListCount(int32_t id) const {
    const Control* control = Find(id);
    return control != nullptr ? static_cast<int32_t>(control->items.size()) : 0;
}

void HeadlessWindow::SelectListItem(int32_t id, int32_t index) {
    if (Control* control = Find(id)) control->selection = index;
}

int32_t HeadlessWindow::ListSelection(int32_t id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->selection : kListError;
}

IDispatch* HeadlessWindow::ControlObject(int32_t id) {
    Control* control = Find(id);
    return control != nullptr && control->grid ? control->grid->Interface() : nullptr;
}

void HeadlessWindow::End(int32_t result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
}

bool HeadlessWindow::IsVisible(int32_t id) const {
    const Control* control = Find(id);
    return control != nullptr && control->visible;
}

bool HeadlessWindow::IsEnabled(int32_t id) const {
    const Control* control = Find(id);
    return control != nullptr && control->enabled;
}

std::vector<std::u16string> HeadlessWindow::Items(int32_t id) const {
    const Control* control = Find(id);
    return control != nullptr ? control->items : std::vector<std::u16string>();
}

const GridModel* HeadlessWindow::Grid(int32_t id) const {
    const Control* control = Find(id);
    return control != nullptr && control->grid ? &control->grid->Model() : nullptr;
}

HeadlessWindow::Control* HeadlessWindow::Usable(int32_t id) {
    Control* control = Find(id);
    return control != nullptr && control->visible && control->enabled && !ended_ ? control : nullptr;
}

bool HeadlessWindow::Type(int32_t id, std::u16string_view text) {
    Control* control = Usable(id);
    if (control == nullptr || control->kind != ControlKind::kEdit) return false;
    control->text = text;
    return true;
}

bool HeadlessWindow::Pick(int32_t id, int32_t index) {
    Control* control = Usable(id);
    if (control == nullptr || control->kind != ControlKind::kDropDownList) return false;
    if (index < 0 || index >= static_cast<int32_t>(control->items.size())) return false;
    control->selection = index;
    dialog_.Command(id, ControlEvent::kDropDownClosed);
    return true;
}

bool HeadlessWindow::Click(int32_t id) {
    Control* control = Usable(id);
    if (control == nullptr) return false;
    switch (control->kind) {
        case ControlKind::kPushButton:
        case ControlKind::kDefaultButton:
        case ControlKind::kCheckBox:
        case ControlKind::kRadioButton:
            Press(id, *control);
            return true;
        default:
            return false;
    }
}

void HeadlessWindow::Press(int32_t id, Control& control) {
    if (control.kind == ControlKind::kCheckBox) control.check = control.check == 0 ? 1 : 0;
    if (control.kind == ControlKind::kRadioButton) {
        for (int32_t member : template_.RadioGroup(id)) SetCheck(member, member == id ? 1 : 0);
    }
    dialog_.Command(id, ControlEvent::kClicked);
}

bool HeadlessWindow::ClickGridRow(int32_t id, int32_t row) {
    Control* control = Usable(id);
    return control != nullptr && control->grid && control->grid->Model().SetRow(row);
}

void HeadlessWindow::Close() {
    if (!ended_) dialog_.Command(kIdCancel, ControlEvent::kClicked);
}

}  // namespace korvan::platform
