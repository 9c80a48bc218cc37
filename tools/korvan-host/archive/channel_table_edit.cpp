#include "tools/korvan-host/archive/channel_table_edit.h"

#include <array>
#include <tuple>

#include "tools/hostkit/config_blob.h"

namespace korvanhost {
namespace {

constexpr int32_t kFixedChannels = 4;
constexpr int32_t kHighestParameterNumber = 4095;
constexpr std::array<int32_t, 8> kConversionIndexes = {74, 2, 1, 0, -1, -2, -3, -4};

auto Key(const hostkit::BlobChannel& c) {
    return std::make_tuple(static_cast<uint32_t>(c.type), static_cast<uint32_t>(c.number),
                           static_cast<uint32_t>(c.valueType));
}

// The bytes, decoded only when encoding them again gives them back exactly, so an
// edit changes nothing but the table.
std::optional<hostkit::BlobContent> Decode(const std::vector<uint8_t>& configuration, TableEdit& edit) {
    auto content = hostkit::DecodeBlob(configuration);
    if (!content || hostkit::EncodeBlob(*content) != configuration) {
        edit.error = "the configuration holds bytes this editor does not know; change its channels with edit";
        edit.unreadable = true;
        return std::nullopt;
    }
    return content;
}

std::u16string Trimmed(const std::u16string& text) {
    // White space as the dialog trims it: ASCII, the no-break and the full-width space.
    const auto blank = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r') || c == u'\u00A0' || c == u'\u3000'; };
    std::size_t first = 0, last = text.size();
    while (first < last && blank(text[first])) ++first;
    while (last > first && blank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// Where the dialog's merge puts one record: after the last record it is greater than,
// replacing those whose key equals its own.
void Merge(std::vector<hostkit::BlobChannel>& table, const hostkit::BlobChannel& record) {
    auto lo = static_cast<int32_t>(table.size()), hi = lo;
    while (lo > 0 && !(Key(record) > Key(table[lo - 1]))) --lo;
    while (hi > 0 && !(Key(record) >= Key(table[hi - 1]))) --hi;
    if (hi > lo) table.erase(table.begin() + lo, table.begin() + hi);
    table.insert(table.begin() + lo, record);
}

}  // namespace

int32_t ConversionRow(int32_t index) {
    for (std::size_t row = 0; row < kConversionIndexes.size(); ++row) {
        if (kConversionIndexes[row] == index) return static_cast<int32_t>(row);
    }
    return -1;
}

TableEdit AddChannelTo(const std::vector<uint8_t>& configuration, ChannelFields fields) {
    TableEdit edit;
    fields.name = Trimmed(fields.name);
    if (fields.number < 0 || fields.number > kHighestParameterNumber) {
        edit.error = "parameter number " + std::to_string(fields.number) + " is outside 0..4095";
    } else if (fields.name.empty()) {
        edit.error = "a channel needs a name";
    } else if (fields.type == 0 && fields.number == 0) {
        edit.error = "data type int16 with parameter number 0 is the key of the fixed channels";
    }
    if (!edit.error.empty()) return edit;
    auto content = Decode(configuration, edit);
    if (!content) return edit;
    Merge(content->channels, hostkit::Parameter(fields.number, fields.type, fields.conversionRow,
                                                std::move(fields.name), fields.access, fields.retain));
    edit.configuration = hostkit::EncodeBlob(*content);
    return edit;
}

TableEdit RemoveChannelFrom(const std::vector<uint8_t>& configuration, int32_t position) {
    TableEdit edit;
    auto content = Decode(configuration, edit);
    if (!content) return edit;
    if (position < kFixedChannels || position >= static_cast<int32_t>(content->channels.size())) {
        edit.error = position >= 0 && position < kFixedChannels
                         ? "host channels 1 to 4 are the fixed channels and stay"
                         : "no channel " + std::to_string(position + 1);
        return edit;
    }
    content->channels.erase(content->channels.begin() + position);
    edit.configuration = hostkit::EncodeBlob(*content);
    return edit;
}

std::optional<std::vector<int32_t>> PositionsOfParameter(const std::vector<uint8_t>& configuration,
                                                         int32_t number) {
    TableEdit unread;
    const auto content = Decode(configuration, unread);
    if (!content) return std::nullopt;
    std::vector<int32_t> positions;
    for (std::size_t p = kFixedChannels; p < content->channels.size(); ++p) {
        if (content->channels[p].number == number) positions.push_back(static_cast<int32_t>(p));
    }
    return positions;
}

}  // namespace korvanhost
