#include "channels/channel_schemas.h"

#include <array>
#include <string_view>

#include "channels/channel_table.h"
#include "channels/channel_types.h"

namespace korvan {
namespace {

constexpr int32_t kAttributeCount = 7;
constexpr std::array<int32_t, kAttributeCount> kKinds = {1, 1, 1, 1, 1, 2, 1};
constexpr std::array<int32_t, kAttributeCount> kRecordKeys = {0, 1, 1, 1, 0, 0, 0};

std::array<std::u16string_view, kAttributeCount> NamesWith(std::u16string_view nameAttribute) {
    return {attr::kAccessType, attr::kParameterDataType, attr::kParameterNumber, attr::kValueType,
            attr::kConversion, nameAttribute,            attr::kRetain};
}

void Define(AttributeSchema& schema, std::u16string_view nameAttribute, bool withKeys) {
    schema.SetAttributeCount(kAttributeCount);
    const auto names = NamesWith(nameAttribute);
    for (int32_t i = 0; i < kAttributeCount; ++i) {
        schema.DefineAttribute(i, kKinds[i], names[i], withKeys ? kRecordKeys[i] : 0);
    }
}

}  // namespace

int32_t DefineChannelSchemas() {
    Define(ChannelDraft::ClassSchema(), attr::kDraftName, false);
    Define(ChannelRecord::ClassSchema(), attr::kRecordName, true);
    return 1;
}

int32_t AppendDraftAsRecord(const ChannelDraft& draft, ChannelBatch& batch) {
    ChannelRecord record;
    for (const auto name : NamesWith(attr::kRecordName)) {
        if (name == attr::kRecordName) record.SetText(name, draft.GetText(attr::kDraftName));
        else record.SetInteger(name, draft.GetInteger(name));
    }
    batch.Append(record);
    return 1;
}

int32_t AddFixedChannels(ChannelTable& table) {
    ChannelDraft draft;
    ChannelBatch batch;
    for (const FixedChannel& fixed : kFixedChannels) {
        draft.SetInteger(attr::kAccessType, fixed.accessType);
        draft.SetInteger(attr::kParameterDataType, kSigned16);
        draft.SetInteger(attr::kParameterNumber, 0);
        draft.SetInteger(attr::kValueType, kNumericValue);
        draft.SetInteger(attr::kConversion, 0);
        draft.SetText(attr::kDraftName, fixed.name);
        draft.SetInteger(attr::kRetain, 0);
        AppendDraftAsRecord(draft, batch);
    }
    table.Merge(batch);
    return 1;
}

}  // namespace korvan
