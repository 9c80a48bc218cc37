// A device's channels in key order, and the batch through which new ones enter.
#pragma once

#include <cstdint>
#include <vector>

#include "channels/channel_record.h"

namespace korvan {

// An ordered run of records, local to one operation and never persisted.
class ChannelBatch {
public:
    // Appends a copy; returns its position.
    int32_t Append(const ChannelRecord& record);
    int32_t GetCount() const { return static_cast<int32_t>(records_.size()); }
    const ChannelRecord& GetAt(int32_t position) const { return records_[position]; }
    const std::vector<ChannelRecord>& Records() const { return records_; }

private:
    std::vector<ChannelRecord> records_;
};

class ChannelTable : public PersistentObject {
public:
    int32_t GetCount() const { return static_cast<int32_t>(records_.size()); }
    // The caller guarantees 0 <= position < GetCount().
    const ChannelRecord& GetAt(int32_t position) const { return records_[position]; }
    ChannelRecord& GetAt(int32_t position) { return records_[position]; }
    // Removes the record and gives up its storage.
    void RemoveAt(int32_t position);
    // Replaces every record whose key lies between the batch's first and last keys
    // (both included) by the batch, in batch order; an empty table takes the batch
    // as it is, without comparing.
    void Merge(const ChannelBatch& batch);
    // The record count, then each record in table order; loading keeps stored order.
    void Serialize(ConfigArchive& archive) override;

    std::size_t Capacity() const { return records_.capacity(); }

private:
    int32_t LowerBound(const ChannelRecord& first) const;
    int32_t UpperBound(const ChannelRecord& last) const;

    std::vector<ChannelRecord> records_;
};

}  // namespace korvan
