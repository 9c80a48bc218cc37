// The channel list the host receives, which fixes host channel numbers: entry 0 is
// the communication status, entry k is table record k-1.
#pragma once

#include <cstdint>
#include <string_view>

#include "korvan/host_abi.h"

namespace korvan {

class ChannelTable;

inline constexpr std::u16string_view kCommunicationStatusName = u"通讯状态";

// Host channel numbers of the fixed channels and of the communication status.
enum HostChannel : int32_t {
    kCommunicationStatusChannel = 0, kPresentFrequencyChannel = 1, kStatusWordChannel = 2,
};

// Fills both arrays with exactly n + 1 entries for a table of n records.
void PublishChannelList(const ChannelTable& table, HostStringArray& names, HostIntArray& types);
// Entries 1..n: each record's name, and its value type, negated for a write-only one.
int32_t ListChannels(const ChannelTable& table, HostStringArray& names, HostIntArray& types);

}  // namespace korvan
