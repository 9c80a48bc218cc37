// What the user typed and chose in the add-channel dialog for one parameter
// channel, and the draft it becomes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "channels/channel_record.h"

namespace korvan {

struct ChannelEntry {
    int32_t accessType = 0;            // AccessType, the radio button's index
    int32_t conversionSelection = -1;  // row of the conversion table
    int32_t typeSelection = -1;        // ParameterDataType
    std::u16string numberText;
    std::u16string nameText;
    int32_t retain = 0;
};

// The draft for an entry, with the parameter number read as "%d" (0 when the text
// does not start with a number). nullopt when nothing may be added: the number or
// the name is empty after trimming, the number lies outside the drive's 0..4095 (it
// could never be read), or the channel would carry the fixed channels' key (data
// type 0, number 0) and so replace them.
std::optional<ChannelDraft> DraftFromEntry(const ChannelEntry& entry);
// true when the number field holds a number that no drive parameter has.
bool NumberOutOfRange(const ChannelEntry& entry);

}  // namespace korvan
