#include "runtime/run_setup.h"

#include "channels/channel_types.h"
#include "driver/device_state.h"

namespace korvan {
namespace {

struct OpenGroup {
    int32_t type = 0;
    int32_t start = 0;
    int32_t end = 0;
};

void Close(DeviceState& state, const OpenGroup& group) {
    state.readGroupStarts.Append(group.start);
    state.readGroupEnds.Append(group.end);
}

}  // namespace

void BuildReadGroups(DeviceState& state) {
    state.readGroupStarts.SetCount(0);
    state.readGroupEnds.SetCount(0);
    const ChannelTable& table = *state.channelTable;
    const int32_t n = table.GetCount();
    bool open = false;
    OpenGroup group;
    for (int32_t i = kFixedChannelCount; i < n; ++i) {
        const ChannelRecord& channel = table.GetAt(i);
        if (channel.GetInteger(attr::kAccessType) == kWriteOnly) continue;
        const int32_t type = channel.GetInteger(attr::kParameterDataType);
        if (open && type != group.type) {
            Close(state, group);
            open = false;
        }
        if (!open) {
            group = {type, i, i};
            open = true;
        }
        group.end = i;
    }
    if (open) Close(state, group);
}

void ReleaseDeviceState(DeviceInstance& device) {
    if (StateOf(device) != nullptr) DestroyState(device);
}

}  // namespace korvan
