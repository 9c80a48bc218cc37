// backup FILE: every parameter of the catalog as the drive holds it, into a file.
#include <cstdio>

#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/archive/archive_file.h"
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/commissioning/backup_file.h"
#include "tools/korvan-host/commissioning/commissioning.h"
#include "tools/korvan-host/commissioning/drive_readout.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/archive/parameter_catalog.h"
#include "tools/korvan-host/line/report.h"
#include "tools/korvan-sim/data_type.h"

namespace korvanhost {
namespace {

constexpr int32_t kUnitType = 621;
constexpr int32_t kSoftwareVersion = 624;

std::vector<BackupEntry> CatalogEntries(const ParameterCatalog& catalog) {
    std::vector<BackupEntry> entries;
    for (const CatalogParameter* parameter : catalog.Search("")) {
        BackupEntry entry;
        entry.number = parameter->number;
        entry.name = parameter->name;
        entry.type = std::string(korvansim::DataTypeName(static_cast<korvansim::DataType>(parameter->type)));
        entry.conversion = parameter->conversion;
        entry.unit = parameter->unit;
        entries.push_back(std::move(entry));
    }
    return entries;
}

// The text of parameter `number` in the readout, without the drive's padding.
std::string TextOf(const DriveReadout& readout, int32_t number) {
    for (const BackupEntry& entry : readout.entries) {
        if (entry.number == number && entry.text) return Trimmed(hostkit::FromUtf8(*entry.text));
    }
    return "";
}

std::string Summary(const std::string& path, const Backup& backup) {
    std::size_t refused = 0;
    for (const BackupEntry& entry : backup.entries) refused += entry.Absent() ? 1 : 0;
    return path + ": " + std::to_string(backup.entries.size()) + " parameters of the drive at address " +
           backup.address + " (" + backup.unitType + ", software " + backup.softwareVersion + ")" +
           (refused ? ", " + std::to_string(refused) + " refused by the drive (recorded as absent)" : "");
}

bool Save(const std::string& path, const std::string& text, bool force, std::string& error) {
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    return force ? SaveFileAtomically(path, bytes, error) : CreateFileAtomically(path, bytes, error);
}

}  // namespace

int BackupDrive(const Options& options) {
    if (options.arguments.size() != 1) return Fail("backup takes one file: backup FILE", kBadCommandLine);
    const std::string& path = options.arguments[0];
    if (!options.force && SomethingAt(path)) {
        return Fail(path + " already exists (--force replaces it and keeps it as " + path + ".bak)", kBadCommandLine);
    }
    std::string error;
    const auto catalog = LoadCatalog(options.catalog, error);
    if (!catalog) return Fail(error);
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    auto link = DriveLink::Open(options, session.devices, options.device, error);
    if (!link) return Fail(error);
    Backup backup;
    backup.time = IsoTimeNow();
    backup.address = hostkit::ToUtf8(session.devices.Properties(options.device).at(0).value);
    backup.korvanVersion = KORVAN_VERSION;
    const std::vector<BackupEntry> wanted = CatalogEntries(*catalog);
    std::optional<DriveReadout> readout;
    {
        Progress progress(ProgressShown(options), wanted.size());
        readout = ReadParameters(*link, wanted, progress, error);
    }
    link.reset();
    const int finished = session.Finish();
    if (!readout) {
        return Fail("no backup written: " + error + NoReplyHint(error), error == "interrupted" ? kHostError : kDriveFailed);
    }
    backup.unitType = TextOf(*readout, kUnitType);
    backup.softwareVersion = TextOf(*readout, kSoftwareVersion);
    backup.entries = std::move(readout->entries);
    if (!Save(path, FormatBackup(backup), options.force, error)) return Fail(error);
    PrintLine(Summary(path, backup));
    return finished;
}

}  // namespace korvanhost
