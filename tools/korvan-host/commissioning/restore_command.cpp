// restore FILE [--apply]: what differs between the drive and a backup, for the
// parameters a bus may write; with --apply, written back and read back one by one.
#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/commissioning/commissioning.h"
#include "tools/korvan-host/commissioning/drive_readout.h"
#include "tools/korvan-host/commissioning/parameter_diff.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-host/archive/parameter_catalog.h"

namespace korvanhost {
namespace {

constexpr uint16_t kRunning = 1u << 11;
constexpr int32_t kUnitType = 621;  // status word: a start signal, or an output above 0 Hz

// A parameter whose backup value differs from the drive's, and whether it may be written.
struct Change {
    Difference difference;
    std::string skipped;  // why it is not written; empty when it is
};

// Why a differing parameter cannot be written as the backup has it; empty when it can.
std::string WhySkipped(const Difference& difference, const CatalogParameter& parameter, bool running) {
    const BackupEntry& wanted = *difference.before;
    if (wanted.IsText()) return "texts are not written back: the driver's WRITE writes numbers";
    if (difference.after->Absent()) return "the drive refuses to read it now";
    if (*wanted.raw > kExactLimit || *wanted.raw < -kExactLimit) {
        return "raw " + std::to_string(*wanted.raw) +
               " is beyond ±2^24, which the driver's single-precision arguments cannot carry exactly";
    }
    if (parameter.whenStopped && running) return "the drive changes it only while the motor is stopped, and it runs";
    return "";
}

// The backup's parameters that differ from the drive's and that a bus may write (or
// that the catalog does not know, skipped).
std::vector<Change> Changes(const Backup& backup, const DriveReadout& now, const ParameterCatalog& catalog) {
    const bool running = now.statusWord && (*now.statusWord & kRunning) != 0;
    std::vector<Change> changes;
    for (const Difference& difference : Compare(backup.entries, now.entries)) {
        if (difference.before == nullptr || difference.after == nullptr || difference.before->Absent()) continue;
        const CatalogParameter* parameter = catalog.Find(difference.number);
        if (parameter == nullptr) {
            changes.push_back({difference, "not in the catalog, which says whether a bus may write it (--catalog)"});
        } else if (parameter->access == 2) {
            changes.push_back({difference, WhySkipped(difference, *parameter, running)});
        }
    }
    return changes;
}

// Writes one change and reads it back: empty when the drive now holds the backup's value.
std::string WriteBack(DriveLink& link, const BackupEntry& wanted, bool retentive) {
    const int32_t type = TypeCode(wanted.type);
    const WriteOutcome written = link.Write(wanted.number, type, *wanted.raw, retentive);
    if (!written.written) return written.problem;
    const ParameterReading back = link.Read(wanted.number, type);
    if (back.outcome != ParameterReading::Outcome::Value) return "written, but reading it back failed: " + back.reason;
    if (back.raw != *wanted.raw) return "written, but the drive holds raw " + std::to_string(back.raw);
    return "";
}

// As the drive has it now → as the backup has it.
std::string Direction(const Change& change) {
    return DifferenceLine({change.difference.number, change.difference.after, change.difference.before}, "", "");
}

// A backup of another unit type may not suit this drive: said, not refused.
void WarnOfAnotherUnit(const Backup& backup, const DriveReadout& now) {
    for (const BackupEntry& entry : now.entries) {
        if (entry.number != kUnitType || !entry.text) continue;
        const std::string unit = Trimmed(hostkit::FromUtf8(*entry.text));
        if (!backup.unitType.empty() && unit != backup.unitType) {
            Warn("the backup is of a " + backup.unitType + ", the drive is a " + unit);
        }
    }
}

struct Tally {
    std::size_t written = 0;
    std::size_t failed = 0;
    std::size_t left = 0;
    std::size_t skipped = 0;
};

Tally Apply(DriveLink& link, const std::vector<Change>& changes, const Options& options) {
    Tally tally;
    Progress progress(ProgressShown(options), changes.size());
    for (const Change& change : changes) {
        if (!change.skipped.empty()) {
            ++tally.skipped;
            continue;
        }
        if (tally.failed > 0 || Interrupted()) {
            ++tally.left;
            continue;
        }
        progress.Advance(tally.written, "parameter " + std::to_string(change.difference.number));
        const std::string problem = WriteBack(link, *change.difference.before, !options.volatileWrites);
        if (problem.empty()) {
            ++tally.written;
            progress.Print("written: " + Direction(change));
        } else {
            ++tally.failed;
            progress.Print("failed: " + Direction(change) + ": " + problem);
        }
    }
    return tally;
}

std::string ChangeLine(const Change& change) {
    return Direction(change) + (change.skipped.empty() ? "" : "  (skipped: " + change.skipped + ")");
}

int Report(const std::vector<Change>& changes, const Tally& tally, bool applied) {
    std::size_t toWrite = 0;
    for (const Change& change : changes) toWrite += change.skipped.empty() ? 1 : 0;
    const std::size_t skipped = changes.size() - toWrite;
    if (!applied) {
        PrintLine(std::to_string(toWrite) + " to write, " + std::to_string(skipped) +
                  " skipped; nothing written (--apply writes them)");
        return kDone;
    }
    PrintLine("written " + std::to_string(tally.written) + ", failed " + std::to_string(tally.failed) + ", left " +
              std::to_string(tally.left) + ", skipped " + std::to_string(tally.skipped));
    if (tally.written == changes.size()) return kDone;
    return Fail("the drive does not hold every value of the backup yet (" +
                    std::to_string(changes.size() - tally.written) + " not written)",
                kDriveFailed);
}

}  // namespace

int RestoreBackup(const Options& options) {
    if (options.arguments.size() != 1) return Fail("restore takes one backup: restore FILE [--apply]", kBadCommandLine);
    std::string error;
    const auto backup = ReadBackup(options.arguments[0], error);
    if (!backup) return Fail(error);
    const auto catalog = LoadCatalog(options.catalog, error);
    if (!catalog) return Fail(error);
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    auto link = DriveLink::Open(options, session.devices, options.device, error);
    if (!link) return Fail(error);
    std::optional<DriveReadout> now;
    {
        Progress progress(ProgressShown(options), backup->entries.size());
        now = ReadParameters(*link, backup->entries, progress, error);
    }
    if (!now) {
        link.reset();
        session.Finish();
        return Fail("nothing written: " + error + NoReplyHint(error), error == "interrupted" ? kHostError : kDriveFailed);
    }
    WarnOfAnotherUnit(*backup, *now);
    const std::vector<Change> changes = Changes(*backup, *now, *catalog);
    for (const Change& change : changes) PrintLine(ChangeLine(change));
    const Tally tally = options.apply ? Apply(*link, changes, options) : Tally{};
    link.reset();
    const int finished = session.Finish();
    const int reported = Report(changes, tally, options.apply);
    return finished != kDone ? finished : reported;
}

}  // namespace korvanhost
