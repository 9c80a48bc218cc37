#include "tools/korvan-host/line/report.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <sstream>

#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-host/line/meanings.h"

namespace korvanhost {
namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

std::string StatsLine(const CollectionStats& stats) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "exchanges %llu  ok %llu  unusable %llu  no reply %llu  bad reply %llu  refused %llu  "
                  "mean %.2f ms  worst %.2f ms",
                  static_cast<unsigned long long>(stats.calls), static_cast<unsigned long long>(stats.byStatus[0]),
                  static_cast<unsigned long long>(stats.byStatus[1]), static_cast<unsigned long long>(stats.byStatus[2]),
                  static_cast<unsigned long long>(stats.byStatus[3]), static_cast<unsigned long long>(stats.byStatus[4]),
                  stats.MeanMs(), stats.worstMs);
    return text;
}

double Status(const DeviceReadings& readings) { return readings.Status(); }

std::string StatusCell(const DeviceReadings& readings) {
    return StatusText(Status(readings), CommunicationMeaning(Status(readings)));
}

constexpr uint64_t kSilentRounds = 10;

// "no reply from address 1 for 10 rounds" once a device has been silent that long.
std::string SilenceNote(const DeviceReadings& readings) {
    if (readings.noReplyRounds < kSilentRounds) return "";
    return "no reply from address " + readings.address + " for " + std::to_string(readings.noReplyRounds) +
           " rounds";
}

constexpr std::size_t kPresentFrequency = 1;
constexpr std::size_t kStatusWord = 2;

// What a person reads in a value's cell: the status word in hexadecimal with its bits
// named, the present frequency with the reply's main actual value beside it.
std::string CellText(const DeviceReadings& readings, std::size_t k) {
    if (k == kStatusWord && k < readings.values.size()) {
        return StatusWordText(static_cast<uint16_t>(readings.values[k]));
    }
    std::string text = ValueText(readings, k);
    if (k == kPresentFrequency && readings.mainActual) {
        text += " (main actual value " + MainActualText(*readings.mainActual) + ")";
    }
    return text;
}

// A value with its age: "—" never read, "12.5" from this round, "12.5 (3 rounds old)".
std::string AgedValue(const DeviceReadings& readings, std::size_t k) {
    if (readings.NeverRead(k)) return "—";
    const uint64_t age = readings.Age(k);
    const std::string value = CellText(readings, k);
    if (age == 0) return value;
    return value + " (" + std::to_string(age) + (age == 1 ? " round old)" : " rounds old)");
}

bool IsText(const Channel& channel) { return channel.type == 3 || channel.type == -3; }

// Pads UTF-8 text to a width in terminal columns (CJK characters take two).
std::string Padded(const std::u16string& text, std::size_t width) {
    std::size_t columns = 0;
    for (char16_t c : text) columns += c >= 0x1100 ? 2 : 1;
    return hostkit::ToUtf8(text) + std::string(columns < width ? width - columns : 1, ' ');
}

// A table taller than the terminal cannot be redrawn in place: its top lines are
// kept, and the last line says how many did not fit.
std::string FitToTerminal(const std::string& table) {
    const int rows = TerminalRows();
    const auto lines = static_cast<int>(std::count(table.begin(), table.end(), '\n'));
    if (rows < 4 || lines < rows) return table;
    std::size_t end = 0;
    for (int kept = 0; kept < rows - 2; ++kept) end = table.find('\n', end) + 1;
    return table.substr(0, end) + "… " + std::to_string(lines - (rows - 2)) +
           " more lines: enlarge the terminal, or use --plain or --json\n";
}

class LiveTable : public Report {
public:
    explicit LiveTable(std::vector<std::string> archives) : archives_(std::move(archives)) {}
    void ShowRound(uint64_t round, const Collector& collector) override {
        std::ostringstream out;
        // Back over the table drawn last time, so that whatever was printed above stays.
        if (lines_ > 0) out << "\x1b[" << lines_ << "F\x1b[J";
        out << "round " << round << "\n";
        for (std::size_t d = 0; d < collector.Readings().size(); ++d) {
            const DeviceReadings& readings = collector.Readings()[d];
            out << "\n" << archives_[d] << "  status " << StatusCell(readings) << "\n";
            if (const std::string note = SilenceNote(readings); !note.empty()) out << note << "\n";
            out << "   k  type          name              value\n";
            for (std::size_t k = 1; k < readings.channels.size(); ++k) {
                char prefix[48];
                std::snprintf(prefix, sizeof prefix, "%4zu  %-12s  ", k, TypeName(readings.channels[k].type).c_str());
                out << prefix << Padded(readings.channels[k].name, 18) << AgedValue(readings, k) << "\n";
            }
        }
        out << "\n" << StatsLine(collector.Stats()) << "\n";
        const std::string text = FitToTerminal(out.str());
        lines_ = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        WriteText(stdout, text);
        std::fflush(stdout);
    }
    // The next table starts below whatever has been printed since.
    void Detach() override { lines_ = 0; }

private:
    std::vector<std::string> archives_;
    int lines_ = 0;
};

class PlainLines : public Report {
public:
    explicit PlainLines(std::vector<std::string> archives) : archives_(std::move(archives)) {}
    void ShowRound(uint64_t round, const Collector& collector) override {
        for (std::size_t d = 0; d < collector.Readings().size(); ++d) {
            const DeviceReadings& readings = collector.Readings()[d];
            std::string line = "round " + std::to_string(round) + " device " + std::to_string(d) +
                               " result " + std::to_string(readings.result) + " status " + StatusCell(readings);
            for (std::size_t k = 1; k < readings.channels.size(); ++k) {
                line += " | " + std::to_string(k) + " " + hostkit::ToUtf8(readings.channels[k].name) + "=" +
                        AgedValue(readings, k);
            }
            PrintLine(line);
            if (const std::string note = SilenceNote(readings); !note.empty()) PrintLine(note);
        }
    }

private:
    std::vector<std::string> archives_;
};

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

// The fields of the fixed channels that tell what their number means.
std::string Extra(const DeviceReadings& readings, std::size_t k) {
    if (k == kStatusWord && k < readings.values.size()) {
        return ",\"text\":" + JsonString(StatusWordText(static_cast<uint16_t>(readings.values[k])));
    }
    if (k == kPresentFrequency) {
        if (!readings.mainActual) return ",\"mainActualPercent\":null";
        return ",\"mainActualPercent\":" + MainActualPercent(*readings.mainActual);
    }
    return "";
}

class JsonLines : public Report {
public:
    explicit JsonLines(std::vector<std::string> archives) : archives_(std::move(archives)) {}
    void ShowRound(uint64_t round, const Collector& collector) override {
        const auto now = std::chrono::steady_clock::now();
        std::string json = "{\"round\":" + std::to_string(round) + ",\"time\":" + JsonString(IsoTimeNow()) +
                           ",\"devices\":[";
        for (std::size_t d = 0; d < collector.Readings().size(); ++d) {
            const DeviceReadings& readings = collector.Readings()[d];
            json += (d ? "," : "") + std::string("{\"archive\":") + JsonString(archives_[d]) +
                    ",\"result\":" + std::to_string(readings.result) + ",\"status\":" + Number(Status(readings)) +
                    ",\"meaning\":" + JsonString(CommunicationMeaning(Status(readings))) +
                    ",\"noReplyRounds\":" + std::to_string(readings.noReplyRounds) + ",\"channels\":[";
            for (std::size_t k = 1; k < readings.channels.size(); ++k) {
                const std::string value = IsText(readings.channels[k]) ? JsonString(ValueText(readings, k))
                                                                       : ValueText(readings, k);
                const bool never = readings.NeverRead(k);
                json += (k > 1 ? "," : "") + std::string("{\"k\":") + std::to_string(k) +
                        ",\"name\":" + JsonString(hostkit::ToUtf8(readings.channels[k].name)) +
                        ",\"type\":" + std::to_string(readings.channels[k].type) +
                        ",\"typeName\":" + JsonString(TypeName(readings.channels[k].type)) +
                        ",\"value\":" + (never ? "null" : value) +
                        ",\"pnu\":" + (k < readings.parameters.size() && readings.parameters[k] >= 0
                                              ? std::to_string(readings.parameters[k])
                                              : "null") +
                        ",\"unit\":" + JsonString(k < readings.units.size() ? readings.units[k] : "") +
                        Extra(readings, k) +
                        ",\"age\":" + (never ? "null" : std::to_string(readings.Age(k))) +
                        ",\"ageSeconds\":" + (never ? "null" : Seconds(readings.AgeSeconds(k, now))) + "}";
            }
            json += "]}";
        }
        PrintLine(json + "]}");
    }

private:
    std::vector<std::string> archives_;
};

}  // namespace

// Now, in UTC, as ISO 8601 with milliseconds: "2026-12-08T15:03:46.123Z".
std::string IsoTimeNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    if (const std::tm* converted = std::gmtime(&seconds)) utc = *converted;
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(millis));
    return text;
}

std::string TypeName(int32_t type) {
    const std::string kind = type == 1 || type == -1 ? "status" : type == 3 || type == -3 ? "text" : "number";
    return type < 0 ? kind + " write" : kind;
}

std::string ValueText(const DeviceReadings& readings, std::size_t k) {
    if (IsText(readings.channels[k]) && k < readings.texts.size()) return hostkit::ToUtf8(readings.texts[k]);
    return k < readings.values.size() ? Number(readings.values[k]) : "0";
}

std::string JsonString(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::unique_ptr<Report> MakeReport(ReportStyle style, std::vector<std::string> archives) {
    switch (style) {
        case ReportStyle::LiveTable: return std::make_unique<LiveTable>(std::move(archives));
        case ReportStyle::Json: return std::make_unique<JsonLines>(std::move(archives));
        default: return std::make_unique<PlainLines>(std::move(archives));
    }
}

}  // namespace korvanhost
