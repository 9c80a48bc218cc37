#include "platform/dialogs/dialog_data_exchange.h"

#include "platform/dialogs/dialog_list.h"

namespace korvan::platform {

void DataExchange::Text(int32_t id, std::u16string& value) {
    if (saving_) value = window_.ControlText(id);
    else window_.SetControlText(id, value);
}

void DataExchange::Check(int32_t id, int32_t& state) {
    if (saving_) state = window_.Check(id);
    else window_.SetCheck(id, state);
}

void DataExchange::Radio(int32_t firstId, int32_t& index) {
    const std::vector<int32_t> group = template_.RadioGroup(firstId);
    const auto count = static_cast<int32_t>(group.size());
    if (saving_) {
        index = -1;
        for (int32_t i = 0; i < count && index < 0; ++i) {
            if (window_.Check(group[i]) == 1) index = i;
        }
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        if (i != index) window_.SetCheck(group[i], 0);
    }
    if (index >= 0 && index < count) window_.SetCheck(group[index], 1);
}

void DataExchange::ListIndex(int32_t id, int32_t& index) {
    if (saving_) index = window_.ListSelection(id);
    else SelectListEntry(window_, id, index);
}

}  // namespace korvan::platform
