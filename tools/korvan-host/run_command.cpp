// run: collection rounds through the driver, shown as a live table, plain lines or
// JSON, until --count rounds, Ctrl-C or a line that goes away.
#include <chrono>
#include <thread>

#include "tools/korvan-host/archive/parameter_catalog.h"
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/commands.h"
#include "tools/korvan-host/line/collection.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/line/line_checks.h"
#include "tools/korvan-host/line/meanings.h"
#include "tools/korvan-host/line/progress.h"
#include "tools/korvan-host/line/report.h"

namespace korvanhost {
namespace {

std::string LineName(const Options& options) { return options.sim ? "to the simulated drive" : options.port; }

// What to tell a user whose devices have no parameter channel to read; empty when
// some device has one.
std::string NothingToCollect(Session& session, const Collector& collector) {
    for (const DeviceReadings& readings : collector.Readings()) {
        for (std::size_t k = 5; k < readings.channels.size(); ++k) {
            if (readings.channels[k].type > 0) return "";
        }
    }
    return "no parameter channel to collect in " + session.devices.ArchivePath(0) +
           ": add one, e.g. korvan-host --archive " + session.devices.ArchivePath(0) + " add 520";
}

// kDriveFailed, with a summary on standard error, when any exchange failed.
int FailedExchanges(const CollectionStats& stats) {
    const uint64_t failed = stats.calls - stats.byStatus[0];
    if (failed == 0) return kDone;
    std::string summary;
    for (std::size_t status = 1; status < stats.byStatus.size(); ++status) {
        if (stats.byStatus[status] == 0) continue;
        summary += (summary.empty() ? "" : ", ") + std::to_string(stats.byStatus[status]) + " × " +
                   std::to_string(status) + " " + CommunicationMeaning(static_cast<double>(status));
    }
    return Fail(std::to_string(failed) + " of " + std::to_string(stats.calls) + " exchanges failed: " + summary,
                kDriveFailed);
}

void Pace(double rate, std::chrono::steady_clock::time_point& next) {
    if (rate <= 0.0) return;
    next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(1.0 / rate));
    std::this_thread::sleep_until(next);
}

}  // namespace

int Run(const Options& options) {
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    session.devices.ReleaseLocks();  // a run changes no archive: others may, meanwhile
    if (const std::string shared = SharedAddress(session); !shared.empty()) return Fail(shared, kBadCommandLine);
    SayHowToStop(session, options);
    std::string error;
    auto line = HostLine::Open(options, session.devices.Addresses(), session.devices.DriverModule(), error);
    if (!line) return Fail(error);
    session.devices.AttachLine(line->DriverHandle());
    Collector collector(session.devices);
    std::string noCatalog;
    const auto catalog = ParameterCatalog::Load(CatalogPath(), noCatalog);  // for the units; none without it
    collector.Start(catalog ? &*catalog : nullptr, &line->Watch());
    const bool terminal = OutputIsTerminal() && !options.plain && !options.trace;
    const ReportStyle style = options.json ? ReportStyle::Json : terminal ? ReportStyle::LiveTable : ReportStyle::PlainLines;
    if (const std::string hint = NothingToCollect(session, collector); !hint.empty()) {
        session.Finish();
        return Fail(hint);
    }
    auto report = MakeReport(style, options.archives);
    const bool counted = style == ReportStyle::LiveTable && options.count > 0;
    Progress progress(counted, static_cast<uint64_t>(std::max<int64_t>(options.count, 0)));
    auto next = std::chrono::steady_clock::now();
    for (uint64_t round = 1; !Interrupted() && (options.count < 0 || round <= static_cast<uint64_t>(options.count));
         ++round) {
        collector.Round();
        report->ShowRound(round, collector);
        progress.Advance(round);  // below the table, which redraws over it
        if (line->Gone()) {
            report->Detach();
            session.Finish();
            return Fail("the line " + LineName(options) + " is gone (hung up or unplugged)");
        }
        Pace(options.rate, next);
    }
    const int finished = session.Finish();
    if (finished != kDone) return finished;
    return FailedExchanges(collector.Stats());
}

}  // namespace korvanhost
