// A device's channel table changed in its configuration bytes, by the rules of the
// driver's channel dialog: the four fixed channels stay first; a new channel enters
// at its key's place (data type, parameter number, value type, compared as unsigned
// 32-bit numbers) and replaces a channel with the same key; a channel that could
// never be read, or that would carry the fixed channels' key, is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvanhost {

struct ChannelFields {
    int32_t number = 0;
    int32_t type = 0;           // 0..5
    int32_t conversionRow = 3;  // row of the dialog's conversion list: 74, 2, 1, 0, -1, -2, -3, -4
    int32_t access = 0;         // 0 read only, 1 write only, 2 read and write
    int32_t retain = 0;
    std::u16string name;
};

struct TableEdit {
    std::vector<uint8_t> configuration;  // the changed bytes, when error is empty
    std::string error;
    bool unreadable = false;  // the error is the configuration's, not the request's
};

TableEdit AddChannelTo(const std::vector<uint8_t>& configuration, ChannelFields fields);
// Removes the channel at table position `position` (host channel position + 1).
TableEdit RemoveChannelFrom(const std::vector<uint8_t>& configuration, int32_t position);
// The table positions of the parameter channels with parameter number `number`, or
// nullopt when the configuration cannot be read.
std::optional<std::vector<int32_t>> PositionsOfParameter(const std::vector<uint8_t>& configuration, int32_t number);

// The conversion list's row of the drive's conversion index, or -1.
int32_t ConversionRow(int32_t index);

}  // namespace korvanhost
