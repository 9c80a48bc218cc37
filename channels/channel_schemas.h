// The class-wide schemas of ChannelRecord and ChannelDraft, and how channels enter a
// table: a draft becomes a record in a batch, and the batch is merged.
#pragma once

#include <cstdint>

namespace korvan {

class ChannelBatch;
class ChannelDraft;
class ChannelTable;

// Defines both schemas afresh; defining them again changes nothing. Returns 1.
int32_t DefineChannelSchemas();
// Copies the draft into a new record (its "通道名" into "通道名称") and appends it.
int32_t AppendDraftAsRecord(const ChannelDraft& draft, ChannelBatch& batch);
// Puts the four fixed channels into an empty table, at positions 0..3. Returns 1.
int32_t AddFixedChannels(ChannelTable& table);

}  // namespace korvan
