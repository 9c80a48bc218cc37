// The driver's private record of one device, reached through the host's
// DeviceInstance. Created by loading the configuration, freed by SvrExitDevRun.
#pragma once

#include <cstdint>
#include <memory>

#include "channels/channel_table.h"
#include "driver/owned_int_array.h"
#include "korvan/host_abi.h"

namespace korvan {

enum DeviceSetting : int32_t { kDeviceAddress = 0, kWaitTime = 1 };
inline constexpr int32_t kDefaultDeviceAddress = 1;
inline constexpr int32_t kDefaultWaitTimeMs = 200;

struct DeviceState {
    OwnedIntArray deviceSettings;  // [0] address, [1] wait time in ms; persisted
    std::unique_ptr<ChannelTable> channelTable = std::make_unique<ChannelTable>();  // persisted
    OwnedIntArray readGroupStarts;  // first table index of each read group; persisted
    OwnedIntArray readGroupEnds;    // last table index (inclusive) of each group; persisted
    int32_t readModeBits = 0;       // toggled by the add-channel dialog's code words; persisted
    int32_t groupCursor = -1;       // read group visited last
    int32_t controlWriteLatch = 0;  // set by the first write of the control word or reference

    int32_t Setting(int32_t which) const {
        return which < deviceSettings.Count() ? deviceSettings[which] : 0;
    }
};

// The device's state, or nullptr when none has been loaded.
DeviceState* StateOf(const DeviceInstance& device);
// Creates an empty state in the instance (which must have none) and returns it.
DeviceState& CreateState(DeviceInstance& device);
// Frees the state and sets the instance's pointer back to null.
void DestroyState(DeviceInstance& device);

}  // namespace korvan
