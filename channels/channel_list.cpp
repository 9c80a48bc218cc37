#include "channels/channel_list.h"

#include "channels/channel_table.h"
#include "channels/channel_types.h"
#include "driver/host_containers.h"

namespace korvan {

void PublishChannelList(const ChannelTable& table, HostStringArray& names, HostIntArray& types) {
    SetArraySize(names, 1);
    SetArraySize(types, 1);
    SetTextAt(names, 0, kCommunicationStatusName);
    SetIntAt(types, 0, kStatusValue);
    ListChannels(table, names, types);
}

int32_t ListChannels(const ChannelTable& table, HostStringArray& names, HostIntArray& types) {
    const int32_t n = table.GetCount();
    SetArraySize(names, n + 1);
    SetArraySize(types, n + 1);
    for (int32_t k = 1; k <= n; ++k) {
        const ChannelRecord& record = table.GetAt(k - 1);
        const auto valueType = static_cast<uint32_t>(record.GetInteger(attr::kValueType));
        const bool writeOnly = record.GetInteger(attr::kAccessType) == kWriteOnly;
        SetTextAt(names, k, record.GetText(attr::kRecordName));
        SetIntAt(types, k, static_cast<int32_t>(writeOnly ? 0u - valueType : valueType));
    }
    return 1;
}

}  // namespace korvan
