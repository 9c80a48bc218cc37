// The configuration blob: whatever bytes a stored archive holds, loading them through
// the archive and saving again gives a blob that loads and saves to itself. On the
// way, everything the stored configuration steers runs once: the channel list and the
// properties the host asks for, collection over the stored read groups (damaged ones
// included) and channel writes, against a drive that answers every request.
#include <algorithm>
#include <string>
#include <vector>

#include "channels/channel_list.h"
#include "driver/device_properties.h"
#include "fuzz/fuzz_target.h"
#include "fuzz/loaded_device.h"
#include "fuzz/steady_drive.h"
#include "platform/system/wide_text.h"
#include "runtime/collection_cycle.h"
#include "runtime/device_commands.h"
#include "runtime/run_setup.h"
#include "tools/hostkit/host_arrays.h"

namespace korvanfuzz {
namespace {

constexpr int32_t kLongestWaitMs = 500;  // a stored wait time may be days: the clock is scripted, not the patience
constexpr int kCollections = 8;

std::vector<uint8_t> LoadAndSave(const std::vector<uint8_t>& blob) {
    LoadedDevice device(blob);
    return device.Save();
}

void ListWhatTheHostAsksFor(LoadedDevice& device) {
    hostkit::StringArray names, values;
    hostkit::IntArray types;
    hostkit::ByteArray flags;
    korvan::PublishChannelList(*device.State().channelTable, names.raw, types.raw);
    Expect(names.raw.count == device.State().channelTable->GetCount() + 1, "the channel list has another length");
    korvan::ListProperties(device.Instance(), names.raw, values.raw, flags.raw);
}

// Collections over the read groups as stored, channel writes, then the same over
// read groups built afresh from the table.
void RunAgainstADrive(LoadedDevice& device) {
    korvan::DeviceState& state = device.State();
    state.deviceSettings[korvan::kWaitTime] = std::clamp(state.deviceSettings[korvan::kWaitTime], 0, kLongestWaitMs);
    korvan::testing::ScriptedClock clock;
    SteadyLine line(clock);
    korvan::SerialIo io{line, clock};
    const auto channels = static_cast<std::size_t>(state.channelTable->GetCount() + 1);
    hostkit::IntArray wanted;
    hostkit::DoubleArray values, results;
    hostkit::StringArray texts;
    hostkit::Set(wanted.raw, std::vector<int32_t>(channels, 1));
    hostkit::Set(values.raw, std::vector<double>(channels, 0.0));
    hostkit::Set(texts.raw, std::vector<std::u16string>(channels));
    hostkit::Set(results.raw, {0.0, 0.0, 0.0, 0x047C, 1.0});
    for (int round = 0; round < 2; ++round) {
        for (int call = 0; call < kCollections; ++call) {
            korvan::CollectNextGroup(device.Instance(), io, wanted.raw, values.raw, texts.raw);
        }
        for (std::size_t k = 1; k < channels && k <= 16; ++k) {
            korvan::ExecuteCommandText(
                device.Instance(), io,
                u"ZELK_WRITE(" + korvan::platform::FormatDecimal(static_cast<int64_t>(k)) + u"=12.5)", results.raw);
        }
        korvan::BuildReadGroups(state);
    }
}

}  // namespace
}  // namespace korvanfuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvanfuzz;
    PrepareCore();
    const std::vector<uint8_t> blob(data, data + size);
    const std::vector<uint8_t> saved = LoadAndSave(blob);
    Expect(LoadAndSave(saved) == saved, "a saved configuration loads and saves to other bytes");
    LoadedDevice device(blob);
    ListWhatTheHostAsksFor(device);
    RunAgainstADrive(device);
    return 0;
}
