// How collection rounds are shown: a table that updates in place on a terminal,
// plain lines for scripts, or one JSON object per round.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tools/korvan-host/line/collection.h"

namespace korvanhost {

class Report {
public:
    virtual ~Report() = default;
    virtual void ShowRound(uint64_t round, const Collector& collector) = 0;
    // Something else was printed after the last round.
    virtual void Detach() {}
};

enum class ReportStyle { LiveTable, PlainLines, Json };

// `archives` names the devices, in the collector's order.
std::unique_ptr<Report> MakeReport(ReportStyle style, std::vector<std::string> archives);

// The value cell of host channel k: the text of a text channel, else the number.
std::string ValueText(const DeviceReadings& readings, std::size_t k);
std::string JsonString(const std::string& utf8);
// Now, in UTC, as ISO 8601 with milliseconds.
std::string IsoTimeNow();
// The name of a channel-list type code: "number", "text", "status", with " write"
// for a write-only channel.
std::string TypeName(int32_t type);

}  // namespace korvanhost
