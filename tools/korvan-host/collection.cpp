#include "tools/korvan-host/collection.h"

#include <chrono>

#include "tools/hostkit/host_arrays.h"

namespace korvanhost {

Collector::Collector(HostDevices& devices, Wanting wanting) : devices_(devices), wanting_(wanting) {}

std::vector<int32_t> Collector::WantedFlags(std::size_t device) {
    const std::vector<Channel>& channels = readings_[device].channels;
    std::vector<int32_t> flags(channels.size(), wanting_ == Wanting::EveryChannel ? 1 : 0);
    if (wanting_ == Wanting::EveryChannel) return flags;
    // Parameter channels (host channel 5 on) that are read: a positive type code.
    std::vector<std::size_t> readable;
    for (std::size_t k = 5; k < channels.size(); ++k) {
        if (channels[k].type > 0) readable.push_back(k);
    }
    if (!readable.empty()) flags[readable[scanPositions_[device]++ % readable.size()]] = 1;
    return flags;
}

void Collector::Start() {
    readings_.clear();
    for (std::size_t device = 0; device < devices_.Count(); ++device) {
        devices_.Svr().InitDevSet(devices_.Instance(device));
        devices_.Svr().InitDevRun(devices_.Instance(device));
        DeviceReadings readings;
        readings.channels = devices_.Channels(device);
        readings.values.assign(readings.channels.size(), 0.0);
        readings.texts.assign(readings.channels.size(), u"");
        readings_.push_back(std::move(readings));
    }
    scanPositions_.assign(readings_.size(), 0);
}

void Collector::Round() {
    for (std::size_t device = 0; device < readings_.size(); ++device) {
        DeviceReadings& readings = readings_[device];
        hostkit::IntArray wanted;
        hostkit::DoubleArray values;
        hostkit::StringArray texts;
        hostkit::Set(wanted.raw, WantedFlags(device));
        hostkit::Set(values.raw, readings.values);
        hostkit::Set(texts.raw, readings.texts);
        const auto start = std::chrono::steady_clock::now();
        readings.result = devices_.Svr().CollectDevData(devices_.Instance(device), &wanted, &values, &texts);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        readings.values = hostkit::Values(values.raw);
        readings.texts = hostkit::Values(texts.raw);
        ++stats_.calls;
        stats_.totalMs += ms;
        stats_.worstMs = std::max(stats_.worstMs, ms);
        const double status = readings.values.empty() ? 0.0 : readings.values[0];
        if (status >= 0.0 && status <= 4.0) ++stats_.byStatus[static_cast<std::size_t>(status)];
    }
}

}  // namespace korvanhost
