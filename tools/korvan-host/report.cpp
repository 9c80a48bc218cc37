#include "tools/korvan-host/report.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/host_line.h"
#include "tools/korvan-host/meanings.h"

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

double Status(const DeviceReadings& readings) { return readings.values.empty() ? 0.0 : readings.values[0]; }

// Pads UTF-8 text to a width in terminal columns (CJK characters take two).
std::string Padded(const std::u16string& text, std::size_t width) {
    std::size_t columns = 0;
    for (char16_t c : text) columns += c >= 0x1100 ? 2 : 1;
    return hostkit::ToUtf8(text) + std::string(columns < width ? width - columns : 1, ' ');
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
            out << "\n" << archives_[d] << "  status " << Number(Status(readings)) << " ("
                << CommunicationMeaning(Status(readings)) << ")\n";
            out << "   k  type  name              value\n";
            for (std::size_t k = 1; k < readings.channels.size(); ++k) {
                char prefix[48];
                std::snprintf(prefix, sizeof prefix, "%4zu  %4d  ", k, readings.channels[k].type);
                out << prefix << Padded(readings.channels[k].name, 18) << ValueText(readings, k) << "\n";
            }
        }
        out << "\n" << StatsLine(collector.Stats()) << "\n";
        const std::string text = out.str();
        lines_ = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        std::fputs(text.c_str(), stdout);
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
                               " result " + std::to_string(readings.result) + " status " +
                               Number(Status(readings));
            for (std::size_t k = 1; k < readings.channels.size(); ++k) {
                line += " | " + std::to_string(k) + " " + hostkit::ToUtf8(readings.channels[k].name) + "=" +
                        ValueText(readings, k);
            }
            PrintLine(line);
        }
    }

private:
    std::vector<std::string> archives_;
};

class JsonLines : public Report {
public:
    explicit JsonLines(std::vector<std::string> archives) : archives_(std::move(archives)) {}
    void ShowRound(uint64_t round, const Collector& collector) override {
        std::string json = "{\"round\":" + std::to_string(round) + ",\"devices\":[";
        for (std::size_t d = 0; d < collector.Readings().size(); ++d) {
            const DeviceReadings& readings = collector.Readings()[d];
            json += (d ? "," : "") + std::string("{\"archive\":") + JsonString(archives_[d]) +
                    ",\"result\":" + std::to_string(readings.result) + ",\"status\":" + Number(Status(readings)) +
                    ",\"channels\":[";
            for (std::size_t k = 1; k < readings.channels.size(); ++k) {
                const bool text = readings.channels[k].type == 3 || readings.channels[k].type == -3;
                json += (k > 1 ? "," : "") + std::string("{\"k\":") + std::to_string(k) +
                        ",\"name\":" + JsonString(hostkit::ToUtf8(readings.channels[k].name)) +
                        ",\"type\":" + std::to_string(readings.channels[k].type) + ",\"value\":" +
                        (text ? JsonString(ValueText(readings, k)) : ValueText(readings, k)) + "}";
            }
            json += "]}";
        }
        PrintLine(json + "]}");
    }

private:
    std::vector<std::string> archives_;
};

}  // namespace

std::string ValueText(const DeviceReadings& readings, std::size_t k) {
    const int32_t type = readings.channels[k].type;
    if ((type == 3 || type == -3) && k < readings.texts.size()) return hostkit::ToUtf8(readings.texts[k]);
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
