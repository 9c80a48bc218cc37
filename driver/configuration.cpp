#include "driver/configuration.h"

#include <algorithm>

#include "channels/channel_schemas.h"
#include "driver/config_archive.h"
#include "driver/device_state.h"

namespace korvan {
namespace {

// Reads a count into `count` (which keeps its value when the data has ended), sizes
// the list to it, never beyond what the remaining bytes could hold, and reads the
// entries.
void ReadList(ConfigArchive& archive, int32_t& count, OwnedIntArray& list) {
    ReadInt32(archive, count);
    list.SetCount(std::clamp(count, 0, RemainingBytes(archive) / 4));
    for (int32_t i = 0; i < list.Count(); ++i) ReadInt32(archive, list[i]);
}

void WriteList(ConfigArchive& archive, const OwnedIntArray& list) {
    WriteInt32(archive, list.Count());
    for (int32_t i = 0; i < list.Count(); ++i) WriteInt32(archive, list[i]);
}

// The properties read entries 0 and 1: a damaged blob's short list takes the defaults.
void PadSettings(OwnedIntArray& settings) {
    const int32_t defaults[] = {kDefaultDeviceAddress, kDefaultWaitTimeMs};
    for (int32_t i = settings.Count(); i < 2; ++i) settings.Append(defaults[i]);
}

void LoadStoredState(ConfigArchive& archive, DeviceState& state) {
    Rewind(archive);
    int32_t count = 0;
    ReadList(archive, count, state.deviceSettings);
    ReadList(archive, count, state.readGroupStarts);
    ReadList(archive, count, state.readGroupEnds);
    ReadInt32(archive, state.readModeBits);
    ReadObject(archive, *state.channelTable);
    PadSettings(state.deviceSettings);
}

}  // namespace

void LoadConfiguration(DeviceInstance& device) {
    if (StateOf(device) != nullptr) return;
    DeviceState& state = CreateState(device);
    ConfigArchive* archive = device.configArchive;
    if (archive != nullptr && DataSize(*archive) != 0) {
        state.deviceSettings.SetCount(2);
        LoadStoredState(*archive, state);
    } else {
        PadSettings(state.deviceSettings);
        AddFixedChannels(*state.channelTable);
        SaveConfiguration(device);
    }
    state.controlWriteLatch = 0;
    state.groupCursor = -1;
}

void SaveConfiguration(DeviceInstance& device) {
    DeviceState* state = StateOf(device);
    ConfigArchive* archive = device.configArchive;
    if (state == nullptr || archive == nullptr) return;
    Rewind(*archive);
    WriteList(*archive, state->deviceSettings);
    WriteList(*archive, state->readGroupStarts);
    WriteList(*archive, state->readGroupEnds);
    WriteInt32(*archive, state->readModeBits);
    WriteObject(*archive, *state->channelTable);
}

}  // namespace korvan
