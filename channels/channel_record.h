// The two record classes of the channel configuration. A ChannelDraft is what the
// add-channel dialog fills in; a ChannelRecord is what the channel table holds,
// compares by key and persists.
#pragma once

#include "channels/named_record.h"

namespace korvan {

class ChannelRecord : public NamedRecord {
public:
    ChannelRecord() : NamedRecord(ClassSchema()) {}
    static AttributeSchema& ClassSchema();

    // Key comparison: key attributes in schema order, integers as unsigned 32-bit
    // values, texts code unit by code unit.
    static bool IsGreater(const ChannelRecord& a, const ChannelRecord& b);
    static bool IsEqual(const ChannelRecord& a, const ChannelRecord& b);
    static bool IsGreaterOrEqual(const ChannelRecord& a, const ChannelRecord& b);
    // Copies every slot of source into target.
    static void Assign(ChannelRecord& target, const ChannelRecord& source);
};

class ChannelDraft : public NamedRecord {
public:
    ChannelDraft() : NamedRecord(ClassSchema()) {}
    static AttributeSchema& ClassSchema();
};

}  // namespace korvan
