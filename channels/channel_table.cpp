#include "channels/channel_table.h"

#include <algorithm>

#include "driver/config_archive.h"

namespace korvan {

int32_t ChannelBatch::Append(const ChannelRecord& record) {
    records_.push_back(record);
    return GetCount() - 1;
}

void ChannelTable::RemoveAt(int32_t position) {
    records_.erase(records_.begin() + position);
    records_.shrink_to_fit();
}

// One past the last record that the batch's first record is greater than.
int32_t ChannelTable::LowerBound(const ChannelRecord& first) const {
    for (int32_t j = GetCount() - 1; j >= 0; --j) {
        if (ChannelRecord::IsGreater(first, records_[j])) return j + 1;
    }
    return 0;
}

// One past the last record that the batch's last record is greater than or equal to.
int32_t ChannelTable::UpperBound(const ChannelRecord& last) const {
    for (int32_t j = GetCount() - 1; j >= 0; --j) {
        if (ChannelRecord::IsGreaterOrEqual(last, records_[j])) return j + 1;
    }
    return 0;
}

void ChannelTable::Merge(const ChannelBatch& batch) {
    const auto& incoming = batch.Records();
    if (incoming.empty()) return;
    if (records_.empty()) {
        records_ = incoming;
        return;
    }
    const int32_t lo = LowerBound(incoming.front());
    const int32_t hi = UpperBound(incoming.back());
    if (hi > lo) records_.erase(records_.begin() + lo, records_.begin() + hi);
    records_.insert(records_.begin() + lo, incoming.begin(), incoming.end());
}

void ChannelTable::Serialize(ConfigArchive& archive) {
    if (IsStoring(archive)) {
        WriteInt32(archive, GetCount());
    } else {
        int32_t count = GetCount();
        ReadInt32(archive, count);
        // A damaged count never sizes more records than the remaining bytes could hold.
        const int32_t plausible = RemainingBytes(archive) / MinimumStoredSize(ChannelRecord::ClassSchema());
        records_.resize(static_cast<std::size_t>(std::clamp(count, 0, plausible)));
    }
    for (ChannelRecord& record : records_) record.Serialize(archive);
}

}  // namespace korvan
