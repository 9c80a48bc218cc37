#include "platform/dialogs/dialog_list.h"

#include "platform/dialogs/dialog.h"

namespace korvan::platform {

int32_t SelectListEntry(DialogWindow& window, int32_t id, int32_t index) {
    const bool inRange = index >= 0 && index < window.ListCount(id);
    window.SelectListItem(id, inRange ? index : -1);
    return inRange ? index : kListError;
}

DialogWindow* DropDownList::Window() const { return owner_.IsOpen() ? &owner_.Window() : nullptr; }

void DropDownList::ResetContent() {
    if (DialogWindow* window = Window()) window->ClearList(id_);
}

int32_t DropDownList::InsertString(int32_t position, std::u16string_view text) {
    DialogWindow* window = Window();
    if (window == nullptr) return kListError;
    const int32_t count = window->ListCount(id_);
    if (position == -1) position = count;
    if (position < 0 || position > count) return kListError;
    window->InsertListItem(id_, position, text);
    return position;
}

int32_t DropDownList::GetCount() const {
    const DialogWindow* window = Window();
    return window != nullptr ? window->ListCount(id_) : kListError;
}

int32_t DropDownList::SetCurSel(int32_t index) {
    DialogWindow* window = Window();
    return window != nullptr ? SelectListEntry(*window, id_, index) : kListError;
}

int32_t DropDownList::GetCurSel() const {
    const DialogWindow* window = Window();
    return window != nullptr ? window->ListSelection(id_) : kListError;
}

}  // namespace korvan::platform
