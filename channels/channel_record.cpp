#include "channels/channel_record.h"

#include <algorithm>

namespace korvan {
namespace {

// -1, 0 or 1 for a below, equal to or above b at one key position.
int CompareAt(const ChannelRecord& a, const ChannelRecord& b, int32_t position) {
    if (a.Schema().KindAt(position) == kIntegerAttribute) {
        const auto left = static_cast<uint32_t>(a.IntegerAt(position));
        const auto right = static_cast<uint32_t>(b.IntegerAt(position));
        return left < right ? -1 : (left > right ? 1 : 0);
    }
    const int order = a.TextAt(position).compare(b.TextAt(position));
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

bool IsComparedKey(const AttributeSchema& schema, int32_t position) {
    const int32_t kind = schema.KindAt(position);
    return schema.IsKeyAt(position) && (kind == kIntegerAttribute || kind == kTextAttribute);
}

// The first key position that differs decides; equal keys give 0.
int CompareKeys(const ChannelRecord& a, const ChannelRecord& b) {
    const AttributeSchema& schema = a.Schema();
    const int32_t positions = std::min({schema.Count(), a.SlotCount(), b.SlotCount()});
    for (int32_t position = 0; position < positions; ++position) {
        if (!IsComparedKey(schema, position)) continue;
        if (const int order = CompareAt(a, b, position); order != 0) return order;
    }
    return 0;
}

}  // namespace

AttributeSchema& ChannelRecord::ClassSchema() {
    static AttributeSchema schema;
    return schema;
}

AttributeSchema& ChannelDraft::ClassSchema() {
    static AttributeSchema schema;
    return schema;
}

bool ChannelRecord::IsGreater(const ChannelRecord& a, const ChannelRecord& b) {
    return CompareKeys(a, b) > 0;
}

bool ChannelRecord::IsEqual(const ChannelRecord& a, const ChannelRecord& b) {
    return CompareKeys(a, b) == 0;
}

bool ChannelRecord::IsGreaterOrEqual(const ChannelRecord& a, const ChannelRecord& b) {
    return CompareKeys(a, b) >= 0;
}

void ChannelRecord::Assign(ChannelRecord& target, const ChannelRecord& source) {
    if (&target != &source) target = source;
}

}  // namespace korvan
