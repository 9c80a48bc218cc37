// diff FILE [FILE2]: the drive against a backup, or two backups.
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/commissioning/commissioning.h"
#include "tools/korvan-host/commissioning/drive_readout.h"
#include "tools/korvan-host/commissioning/parameter_diff.h"
#include "tools/korvan-host/line/host_line.h"

namespace korvanhost {
namespace {

// The drive's present values of the backup's parameters; nullopt after Fail says why.
std::optional<std::vector<BackupEntry>> DriveNow(const Options& options, const Backup& backup, int& status) {
    Session session(options);
    if (!session.devices.Error().empty()) return status = Fail(session.devices.Error()), std::nullopt;
    std::string error;
    auto link = DriveLink::Open(options, session.devices, options.device, error);
    if (!link) return status = Fail(error), std::nullopt;
    std::optional<DriveReadout> readout;
    {
        Progress progress(ProgressShown(options), backup.entries.size());
        readout = ReadParameters(*link, backup.entries, progress, error);
    }
    link.reset();
    status = session.Finish();
    if (!readout) {
        status = Fail(error + NoReplyHint(error), error == "interrupted" ? kHostError : kDriveFailed);
        return std::nullopt;
    }
    if (status != kDone) return std::nullopt;
    return std::move(readout->entries);
}

}  // namespace

int DiffBackup(const Options& options) {
    if (options.arguments.empty() || options.arguments.size() > 2) {
        return Fail("diff takes a backup, or two: diff FILE [FILE2]", kBadCommandLine);
    }
    std::string error;
    const auto before = ReadBackup(options.arguments[0], error);
    if (!before) return Fail(error);
    const bool twoFiles = options.arguments.size() == 2;
    std::optional<Backup> other = twoFiles ? ReadBackup(options.arguments[1], error) : std::nullopt;
    if (twoFiles && !other) return Fail(error);
    std::vector<BackupEntry> after;
    if (twoFiles) {
        after = other->entries;
    } else {
        int status = kDone;
        auto now = DriveNow(options, *before, status);
        if (!now) return status;
        after = std::move(*now);
    }
    const std::string afterName = twoFiles ? "not in " + options.arguments[1] : "not read";
    const auto differences = Compare(before->entries, after);
    for (const Difference& difference : differences) {
        PrintLine(DifferenceLine(difference, "not in " + options.arguments[0], afterName));
    }
    const std::string against = twoFiles ? options.arguments[1] : "the drive";
    PrintLine(std::to_string(differences.size()) + (differences.size() == 1 ? " parameter differs" : " parameters differ") +
              " between " + options.arguments[0] + " and " + against);
    return differences.empty() ? kDone : kDriveFailed;
}

}  // namespace korvanhost
