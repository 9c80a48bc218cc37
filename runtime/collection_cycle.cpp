#include "runtime/collection_cycle.h"

#include <algorithm>

#include "channels/channel_list.h"
#include "channels/channel_types.h"
#include "driver/device_state.h"
#include "driver/host_containers.h"
#include "link/drive_telegram.h"
#include "link/parameter_value.h"
#include "runtime/conversion.h"

namespace korvan {
namespace {

bool IsWanted(const HostIntArray& wanted, int32_t j) { return IntAt(wanted, j + 1) == 1; }

// A refusal by the drive, or a request that can never be sent, fails the same way
// each time: trying the group again would only hold every other group back.
bool MayPassOnRetry(int32_t exchange) { return exchange != kRefused && exchange != kUnusableRequest; }

int32_t CollectionResult(int32_t exchange) { return exchange > 0 ? 0 : kCollectionFailed; }

// Puts the channel's value (or text), the status word and the present frequency into
// the host's arrays; a channel that is not wanted or not readable stores nothing.
void StoreReply(const HostIntArray& wanted, HostDoubleArray& values, HostStringArray& texts,
                const ChannelTable& table, const DriveTelegram& reply, int32_t j) {
    if (!IsWanted(wanted, j)) return;
    const ChannelRecord& channel = table.GetAt(j);
    const int32_t access = channel.GetInteger(attr::kAccessType);
    if (access != kReadOnly && access != kReadWrite) return;
    const int32_t type = channel.GetInteger(attr::kParameterDataType);
    if (type == kText) {
        SetTextAt(texts, j + 1, DecodeParameterText(reply));
    } else if (type >= kSigned16 && type <= kUnsigned32) {
        SetDoubleAt(values, j + 1, DecodeParameterValue(reply, type, ChannelFactor(channel)));
    }  // a type the drive does not know has no value to store
    SetDoubleAt(values, kStatusWordChannel, ReplyStatusWord(reply));
    SetDoubleAt(values, kPresentFrequencyChannel, ReplyMainActualValue(reply));
}

// One exchange for table index j: the reply's length, or the exchange's failure.
int32_t Exchange(DeviceInstance& device, SerialIo& io, const HostIntArray& wanted, HostDoubleArray& values,
                 HostStringArray& texts, int32_t j) {
    const DeviceState& state = *StateOf(device);
    const ChannelRecord& channel = state.channelTable->GetAt(j);
    DriveTelegram telegram;
    const int32_t expected = BuildReadTelegram(telegram, state.Setting(kDeviceAddress),
                                               channel.GetInteger(attr::kParameterNumber),
                                               channel.GetInteger(attr::kParameterDataType));
    const int32_t result = ExchangeTelegram(device, io, telegram, expected);
    if (result > 0) {
        StoreReply(wanted, values, texts, *state.channelTable, telegram, j);
        SetDoubleAt(values, kCommunicationStatusChannel, 0.0);
    } else {
        SetDoubleAt(values, kCommunicationStatusChannel, -static_cast<double>(result));
    }
    return result;
}

}  // namespace

int32_t ReadChannel(DeviceInstance& device, SerialIo& io, const HostIntArray& wanted, HostDoubleArray& values,
                    HostStringArray& texts, int32_t j) {
    return CollectionResult(Exchange(device, io, wanted, values, texts, j));
}

int32_t CollectNextGroup(DeviceInstance& device, SerialIo& io, const HostIntArray& wanted, HostDoubleArray& values,
                         HostStringArray& texts) {
    DeviceState& state = *StateOf(device);
    // Stored groups of a damaged configuration may disagree with the table: only
    // table indices that exist are visited.
    const int32_t groups = std::min(state.readGroupStarts.Count(), state.readGroupEnds.Count());
    const int32_t channels = state.channelTable->GetCount();
    for (int32_t visit = 0; visit < groups; ++visit) {
        if (++state.groupCursor >= groups || state.groupCursor < 0) state.groupCursor = 0;
        const int32_t start = std::max(state.readGroupStarts[state.groupCursor], 0);
        const int32_t end = std::min(state.readGroupEnds[state.groupCursor], channels - 1);
        for (int32_t j = start; j <= end; ++j) {
            if (!IsWanted(wanted, j)) continue;
            const int32_t exchange = Exchange(device, io, wanted, values, texts, j);
            // The next call visits this group again after a failure that may pass.
            if (exchange <= 0 && MayPassOnRetry(exchange)) --state.groupCursor;
            return CollectionResult(exchange);
        }
    }
    return 0;
}

}  // namespace korvan
