// Channel records and tables for tests, built from the attribute values that matter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "channels/channel_schemas.h"
#include "channels/channel_table.h"
#include "channels/channel_types.h"

namespace korvan::testing {

struct ChannelSpec {
    int32_t access = kReadOnly;
    int32_t type = kSigned16;
    int32_t number = 0;
    int32_t conversion = 3;
    std::u16string name = u"p";
    int32_t retain = 0;
};

inline ChannelRecord MakeRecord(const ChannelSpec& wanted) {
    ChannelRecord record;
    record.SetInteger(attr::kAccessType, wanted.access);
    record.SetInteger(attr::kParameterDataType, wanted.type);
    record.SetInteger(attr::kParameterNumber, wanted.number);
    record.SetInteger(attr::kValueType, ValueTypeFor(wanted.type));
    record.SetInteger(attr::kConversion, wanted.conversion);
    record.SetText(attr::kRecordName, wanted.name);
    record.SetInteger(attr::kRetain, wanted.retain);
    return record;
}

inline ChannelBatch MakeBatch(const std::vector<ChannelSpec>& specs) {
    ChannelBatch batch;
    for (const auto& wanted : specs) batch.Append(MakeRecord(wanted));
    return batch;
}

// The four fixed channels followed by the given parameter channels, kept in the
// given order (an empty table takes a merged batch as it is).
inline ChannelTable MakeTable(const std::vector<ChannelSpec>& parameters) {
    ChannelTable fixed;
    AddFixedChannels(fixed);
    ChannelBatch all;
    for (int32_t i = 0; i < fixed.GetCount(); ++i) all.Append(fixed.GetAt(i));
    for (const auto& wanted : parameters) all.Append(MakeRecord(wanted));
    ChannelTable table;
    table.Merge(all);
    return table;
}

inline std::vector<int32_t> Numbers(const ChannelTable& table) {
    std::vector<int32_t> numbers;
    for (int32_t i = 0; i < table.GetCount(); ++i) numbers.push_back(table.GetAt(i).GetInteger(attr::kParameterNumber));
    return numbers;
}

inline std::vector<std::u16string> Names(const ChannelTable& table) {
    std::vector<std::u16string> names;
    for (int32_t i = 0; i < table.GetCount(); ++i) names.push_back(table.GetAt(i).GetText(attr::kRecordName));
    return names;
}

}  // namespace korvan::testing
