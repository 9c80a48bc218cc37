#include "channels/channel_entry.h"

#include <algorithm>

#include "channels/channel_types.h"
#include "platform/system/wide_text.h"

namespace korvan {

bool NumberOutOfRange(const ChannelEntry& entry) {
    const int32_t number = platform::ScanDecimal(platform::Trim(entry.numberText)).value_or(0);
    return number < 0 || number > kHighestParameterNumber;
}

std::optional<ChannelDraft> DraftFromEntry(const ChannelEntry& entry) {
    const std::u16string_view number = platform::Trim(entry.numberText);
    const std::u16string_view name = platform::Trim(entry.nameText);
    if (number.empty() || name.empty() || NumberOutOfRange(entry)) return std::nullopt;
    const int32_t type = std::max(entry.typeSelection, 0);
    const int32_t parameterNumber = platform::ScanDecimal(number).value_or(0);
    if (type == kSigned16 && parameterNumber == 0) return std::nullopt;

    ChannelDraft draft;
    draft.SetInteger(attr::kAccessType, entry.accessType);
    draft.SetInteger(attr::kConversion, entry.conversionSelection);
    draft.SetInteger(attr::kParameterDataType, type);
    draft.SetInteger(attr::kValueType, ValueTypeFor(type));
    draft.SetInteger(attr::kParameterNumber, parameterNumber);
    draft.SetText(attr::kDraftName, name);
    draft.SetInteger(attr::kRetain, entry.retain);
    return draft;
}

}  // namespace korvan
