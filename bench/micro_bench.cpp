// Costs inside the driver: telegrams, the configuration blob and the channel merge,
// the last two over tables of growing size.
#include <benchmark/benchmark.h>

#include <string>

#include "channels/channel_schemas.h"
#include "channels/channel_table.h"
#include "channels/channel_types.h"
#include "driver/configuration.h"
#include "driver/device_state.h"
#include "driver/host_containers.h"
#include "link/drive_telegram.h"
#include "link/parameter_value.h"

namespace {

using namespace korvan;

ChannelRecord Channel(int32_t number, const std::u16string& name) {
    ChannelRecord record;
    record.SetInteger(attr::kParameterDataType, number % 5);
    record.SetInteger(attr::kParameterNumber, number);
    record.SetInteger(attr::kValueType, kNumericValue);
    record.SetInteger(attr::kConversion, 4);
    record.SetText(attr::kRecordName, name);
    return record;
}

// The fixed channels and n - 4 parameter channels with Chinese names, in key order.
ChannelTable TableOf(int64_t n) {
    ChannelTable table;
    AddFixedChannels(table);
    ChannelBatch batch;
    for (int32_t i = 4; i < n; ++i) batch.Append(Channel(i, u"通道" + std::u16string(1, char16_t(u'一' + i % 40))));
    for (const ChannelRecord& record : batch.Records()) {
        ChannelBatch one;
        one.Append(record);
        table.Merge(one);
    }
    return table;
}

struct Device {
    ConfigArchive archive{};
    DeviceInstance instance{{0, 0, 0}, &archive, nullptr, 0, 0};
    ~Device() {
        DestroyState(instance);
        SetArraySize(archive.buffer, 0);
    }
};

void TelegramBuildAndDecode(benchmark::State& state) {
    DriveTelegram reply = {0x02, 0x0E, 0x01, 0x10, 0xCA, 0, 0, 0, 0, 0x01, 0xF4, 0x06, 0x07, 0x40, 0x00};
    AppendBcc(reply);
    for (auto _ : state) {
        DriveTelegram request;
        BuildReadTelegram(request, 1, 202, 3);
        AppendBcc(request);
        benchmark::DoNotOptimize(request.data());
        const double value = CheckBcc(reply) ? DecodeParameterValue(reply, 3, 0.1) : 0.0;
        benchmark::DoNotOptimize(value + ReplyStatusWord(reply) + ReplyMainActualValue(reply));
    }
}
BENCHMARK(TelegramBuildAndDecode);

void BlobSave(benchmark::State& state) {
    Device device;
    CreateState(device.instance).deviceSettings.SetCount(2);
    *StateOf(device.instance)->channelTable = TableOf(state.range(0));
    for (auto _ : state) SaveConfiguration(device.instance);
    state.counters["bytes"] = device.archive.position;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BlobSave)->Arg(125)->Arg(250)->Arg(500)->Arg(1000)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

void BlobLoad(benchmark::State& state) {
    Device device;
    CreateState(device.instance).deviceSettings.SetCount(2);
    *StateOf(device.instance)->channelTable = TableOf(state.range(0));
    SaveConfiguration(device.instance);
    DestroyState(device.instance);
    for (auto _ : state) {
        LoadConfiguration(device.instance);
        benchmark::DoNotOptimize(StateOf(device.instance)->channelTable->GetCount());
        state.PauseTiming();
        DestroyState(device.instance);
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BlobLoad)->Arg(125)->Arg(250)->Arg(500)->Arg(1000)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

void MergeOne(benchmark::State& state) {
    const ChannelTable table = TableOf(state.range(0));
    ChannelBatch one;
    one.Append(Channel(static_cast<int32_t>(state.range(0) / 2), u"新通道"));
    for (auto _ : state) {
        state.PauseTiming();
        ChannelTable copy = table;
        state.ResumeTiming();
        copy.Merge(one);
        benchmark::DoNotOptimize(copy.GetCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(MergeOne)->Arg(125)->Arg(250)->Arg(500)->Arg(1000)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    korvan::DefineChannelSchemas();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
