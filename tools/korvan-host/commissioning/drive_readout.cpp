#include "tools/korvan-host/commissioning/drive_readout.h"

#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-sim/data_type.h"

namespace korvanhost {
namespace {

ParameterReading ReadOnceMore(DriveLink& link, const BackupEntry& entry) {
    const int32_t type = TypeCode(entry.type);
    const ParameterReading reading = link.Read(entry.number, type);
    if (reading.outcome != ParameterReading::Outcome::Failed || link.Gone()) return reading;
    link.Settle();  // the late end of the reply must not be taken for the next one
    return link.Read(entry.number, type);
}

BackupEntry WithReading(BackupEntry entry, const ParameterReading& reading) {
    entry.raw.reset();
    entry.text.reset();
    entry.error = reading.error;
    entry.reason.clear();
    if (reading.outcome == ParameterReading::Outcome::Refused) {
        entry.reason = reading.reason.empty() ? "refused" : reading.reason;
    } else if (entry.IsText()) {
        entry.text = hostkit::ToUtf8(reading.text);
    } else {
        entry.raw = reading.raw;
    }
    return entry;
}

}  // namespace

std::string NoReplyHint(const std::string& error) {
    return error.find("no reply") == std::string::npos
               ? ""
               : " (korvan-host scan finds a drive's address and baud rate; below 2400 baud the wait time must be "
                 "longer than the default 200 ms: set wait=)";
}

int32_t TypeCode(const std::string& typeName) {
    const auto type = korvansim::ParseDataType(typeName);
    return type ? static_cast<int32_t>(*type) : -1;
}

std::string Trimmed(const std::u16string& text) {
    const std::size_t end = text.find_last_not_of(u' ');
    return hostkit::ToUtf8(end == std::u16string::npos ? std::u16string() : text.substr(0, end + 1));
}

std::optional<DriveReadout> ReadParameters(DriveLink& link, const std::vector<BackupEntry>& wanted,
                                           Progress& progress, std::string& error) {
    DriveReadout readout;
    for (const BackupEntry& entry : wanted) {
        if (Interrupted()) return error = "interrupted", std::nullopt;
        progress.Advance(readout.entries.size(), "parameter " + std::to_string(entry.number));
        const ParameterReading reading = ReadOnceMore(link, entry);
        if (reading.outcome == ParameterReading::Outcome::Failed) {
            error = "parameter " + std::to_string(entry.number) + " " + entry.name + ": " + reading.reason +
                    (link.Gone() ? " (the line is gone)" : ", twice");
            return std::nullopt;
        }
        if (reading.statusWord) readout.statusWord = reading.statusWord;
        readout.entries.push_back(WithReading(entry, reading));
    }
    progress.Advance(readout.entries.size());
    return readout;
}

}  // namespace korvanhost
