// One pass of data exchange between a dialog's controls and its members: saving
// takes the controls' values into the members, loading shows the members.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialogs/dialog_template.h"
#include "platform/dialogs/dialog_window.h"

namespace korvan::platform {

class DataExchange {
public:
    DataExchange(DialogWindow& window, const DialogTemplate& dialogTemplate, bool saving)
        : window_(window), template_(dialogTemplate), saving_(saving) {}

    bool Saving() const { return saving_; }

    void Text(int32_t id, std::u16string& value);
    void Check(int32_t id, int32_t& state);
    // The zero-based index of the checked button in the group that `firstId` opens;
    // -1 when none is checked.
    void Radio(int32_t firstId, int32_t& index);
    // The selected entry of a list; -1 for none.
    void ListIndex(int32_t id, int32_t& index);

private:
    DialogWindow& window_;
    const DialogTemplate& template_;
    bool saving_;
};

}  // namespace korvan::platform
