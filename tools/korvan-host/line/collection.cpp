#include "tools/korvan-host/line/collection.h"

#include <chrono>
#include <cstdlib>

#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/archive/parameter_catalog.h"

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

// A successful call brought the status word and present frequency, and the wanted
// channel it read: the only wanted one of a scan list, or one whose value changed.
void Collector::NoteArrivals(DeviceReadings& readings, const std::vector<int32_t>& wanted,
                             const std::vector<double>& before, const std::vector<std::u16string>& beforeTexts) {
    readings.noReplyRounds = readings.Status() == 2.0 ? readings.noReplyRounds + 1 : 0;
    if (readings.result != 0 || readings.Status() != 0.0) return;
    const std::size_t n = std::min(readings.readInRound.size(), readings.values.size());
    const auto now = std::chrono::steady_clock::now();
    const auto arrived = [&](std::size_t k) {
        readings.readInRound[k] = readings.round;
        readings.readAt[k] = now;
    };
    for (std::size_t k = 1; k < n && k < 3; ++k) arrived(k);
    for (std::size_t k = 5; k < n && k < wanted.size(); ++k) {
        if (wanted[k] != 1) continue;
        const bool changed = readings.values[k] != before[k] || readings.texts[k] != beforeTexts[k];
        if (wanting_ == Wanting::ScanList || changed) arrived(k);
    }
}

// The parameter each host channel reads (-1 for none), from the device's configuration.
std::vector<int32_t> ParametersOf(const std::vector<uint8_t>& configuration, std::size_t channels) {
    std::vector<int32_t> parameters(channels, -1);
    const auto content = hostkit::DecodeBlob(configuration);
    if (!content) return parameters;
    for (std::size_t k = 5; k < channels && k - 1 < content->channels.size(); ++k) {
        parameters[k] = content->channels[k - 1].number;
    }
    return parameters;
}

void Collector::Start(const ParameterCatalog* catalog, const LineWatch* watch) {
    watch_ = watch;
    readings_.clear();
    for (std::size_t device = 0; device < devices_.Count(); ++device) {
        devices_.Svr().InitDevSet(devices_.Instance(device));
        devices_.Svr().InitDevRun(devices_.Instance(device));
        DeviceReadings readings;
        readings.channels = devices_.Channels(device);
        readings.values.assign(readings.channels.size(), 0.0);
        readings.texts.assign(readings.channels.size(), u"");
        readings.readInRound.assign(readings.channels.size(), kNeverRead);
        readings.readAt.assign(readings.channels.size(), {});
        readings.parameters = ParametersOf(devices_.Configuration(device), readings.channels.size());
        readings.units.assign(readings.channels.size(), "");
        for (std::size_t k = 0; catalog != nullptr && k < readings.parameters.size(); ++k) {
            const CatalogParameter* known = readings.parameters[k] >= 0 ? catalog->Find(readings.parameters[k]) : nullptr;
            if (known != nullptr) readings.units[k] = known->unit;
        }
        const auto properties = devices_.Properties(device);
        if (!properties.empty()) readings.address = hostkit::ToUtf8(properties[0].value);
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
        const std::vector<int32_t> flags = WantedFlags(device);
        const std::vector<double> before = readings.values;
        const std::vector<std::u16string> beforeTexts = readings.texts;
        hostkit::Set(wanted.raw, flags);
        hostkit::Set(values.raw, readings.values);
        hostkit::Set(texts.raw, readings.texts);
        const auto start = std::chrono::steady_clock::now();
        readings.result = devices_.Svr().CollectDevData(devices_.Instance(device), &wanted, &values, &texts);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        readings.values = hostkit::Values(values.raw);
        readings.texts = hostkit::Values(texts.raw);
        ++readings.round;
        NoteArrivals(readings, flags, before, beforeTexts);
        if (watch_ != nullptr) readings.mainActual = watch_->MainActual(static_cast<uint8_t>(std::atoi(readings.address.c_str())));
        ++stats_.calls;
        stats_.totalMs += ms;
        stats_.worstMs = std::max(stats_.worstMs, ms);
        const double status = readings.values.empty() ? 0.0 : readings.values[0];
        if (status >= 0.0 && status <= 4.0) ++stats_.byStatus[static_cast<std::size_t>(status)];
    }
}

}  // namespace korvanhost
