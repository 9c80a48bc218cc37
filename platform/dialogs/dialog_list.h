// A drop-down list of a running dialog, addressed by its control identifier, with
// the list's rules for positions: -1 (kListError) answers a request out of range.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/dialogs/dialog_window.h"

namespace korvan::platform {

class Dialog;

// Selects `index`, or clears the selection (answering kListError) when it is -1 or
// out of range; otherwise answers the index.
int32_t SelectListEntry(DialogWindow& window, int32_t id, int32_t index);

class DropDownList {
public:
    DropDownList(const Dialog& owner, int32_t id) : owner_(owner), id_(id) {}

    void ResetContent();
    // Inserts at `position` (-1: at the end); answers the position or kListError.
    int32_t InsertString(int32_t position, std::u16string_view text);
    int32_t GetCount() const;
    int32_t SetCurSel(int32_t index);
    int32_t GetCurSel() const;

private:
    DialogWindow* Window() const;

    const Dialog& owner_;
    int32_t id_;
};

}  // namespace korvan::platform
