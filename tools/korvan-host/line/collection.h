// The collection loop: the host calls SvrCollectDevData for each device in turn, one
// round after another, and reports what arrives.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/korvan-host/host_session.h"

namespace korvanhost {

inline constexpr uint64_t kNeverRead = 0;

class LineWatch;
class ParameterCatalog;

// One device's host arrays and what its last call returned.
struct DeviceReadings {
    std::vector<Channel> channels;
    std::vector<double> values;
    std::vector<std::u16string> texts;
    std::vector<uint64_t> readInRound;  // per host channel: the round its value came in, or kNeverRead
    std::vector<std::chrono::steady_clock::time_point> readAt;  // per host channel: when it came in
    std::vector<int32_t> parameters;    // per host channel: the parameter it reads, -1 for none
    std::vector<std::string> units;     // per host channel: the parameter's unit, from the catalog
    std::string address;                // the device address property
    std::optional<uint16_t> mainActual; // PCD2 of the device's last reply, where the line is watched
    uint64_t round = 0;                 // the round of the last call
    uint64_t noReplyRounds = 0;         // rounds in a row whose call had no reply
    int32_t result = 0;
    double Status() const { return values.empty() ? 0.0 : values[0]; }
    // Rounds since host channel k's value came in; kNeverRead when it never did.
    bool NeverRead(std::size_t k) const { return k >= readInRound.size() || readInRound[k] == kNeverRead; }
    uint64_t Age(std::size_t k) const { return NeverRead(k) ? 0 : round - readInRound[k]; }
    double AgeSeconds(std::size_t k, std::chrono::steady_clock::time_point now) const {
        return NeverRead(k) ? 0.0 : std::chrono::duration<double>(now - readAt[k]).count();
    }
};

struct CollectionStats {
    uint64_t calls = 0;
    std::array<uint64_t, 5> byStatus{};  // calls whose status was 0 (ok) .. 4
    double totalMs = 0.0;
    double worstMs = 0.0;
    double MeanMs() const { return calls == 0 ? 0.0 : totalMs / static_cast<double>(calls); }
};

// Which channels the host wants in a call. Within a read group the driver reads the
// lowest wanted channel, so wanting everything keeps a group's later channels
// waiting; a scan list wants one readable channel per call, each in turn.
enum class Wanting { EveryChannel, ScanList };

class Collector {
public:
    explicit Collector(HostDevices& devices, Wanting wanting = Wanting::ScanList);
    // SvrInitDevRun for every device; each channel's unit from `catalog`, and each
    // reply's main actual value from `watch`, where given.
    void Start(const ParameterCatalog* catalog = nullptr, const LineWatch* watch = nullptr);
    // One SvrCollectDevData per device.
    void Round();
    const std::vector<DeviceReadings>& Readings() const { return readings_; }
    const CollectionStats& Stats() const { return stats_; }

private:
    std::vector<int32_t> WantedFlags(std::size_t device);
    void NoteArrivals(DeviceReadings& readings, const std::vector<int32_t>& wanted,
                      const std::vector<double>& before, const std::vector<std::u16string>& beforeTexts);

    HostDevices& devices_;
    Wanting wanting_;
    const LineWatch* watch_ = nullptr;
    std::vector<DeviceReadings> readings_;
    std::vector<std::size_t> scanPositions_;
    CollectionStats stats_;
};

}  // namespace korvanhost
