// The guided demonstration: a simulated VLT5000 on a pseudo-terminal, a device
// configured from the example archive, the motor started, ramped, reconfigured and
// stopped through the driver, every step told as it happens.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/archive/archive_file.h"
#include "tools/korvan-host/line/collection.h"
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/commands.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-host/line/meanings.h"
#include "tools/korvan-host/line/report.h"
#include "tools/korvan-sim/program_files.h"
#include "tools/korvan-sim/simulator.h"

namespace korvanhost {
namespace {

constexpr int32_t kRun = 0x047C;   // ramp, enable, no quick stop, ramp enabled, start, data valid
constexpr int32_t kStop = 0x043C;  // the same with bit 6 cleared: ramp stop
constexpr int32_t kFullReference = 1;  // × 16384 = 100 % of the output frequency range

void Say(const std::string& text) { PrintLine(text); }

// A working copy of the example archive (which may be in the old format), so the demo
// never changes the example.
// The device the demo plays: demo.archive in PREFIX/share/korvan, else the source tree's.
std::string ExampleArchive() {
#ifdef KORVAN_EXAMPLE_ARCHIVE
    return korvansim::SharedDataFile("demo.archive", KORVAN_EXAMPLE_ARCHIVE);
#else
    return korvansim::SharedDataFile("demo.archive", "");
#endif
}

std::string CopyOfExample(const Options& options, std::string& error) {
    const std::string example = options.archives.front();
    const auto file = ReadArchiveFile(example, error);
    if (!file) return {};
    if (!file->exists || file->kind == ArchiveKind::Damaged) {
        error = "the example archive " + example + (file->exists ? " is damaged: " + file->damage : " is missing");
        return {};
    }
    char folder[] = "/tmp/korvan-demo-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        error = "cannot make a temporary folder";
        return {};
    }
    const std::string copy = std::string(folder) + "/demo.archive";
    return CreateArchiveFile(copy, file->configuration, error) ? copy : std::string();
}

class DemoRun {
public:
    DemoRun(HostDevices& devices, const Options& options)
        : devices_(devices), collector_(devices),
          report_(MakeReport(OutputIsTerminal() && !options.plain && !options.trace ? ReportStyle::LiveTable
                                                                                    : ReportStyle::PlainLines,
                             {"drive 1"})),
          plain_(!OutputIsTerminal() || options.plain || options.trace) {}

    void Start() { collector_.Start(); }

    // Collects for `seconds`, showing the table (on a terminal) or a line a second.
    void Watch(double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        auto nextLine = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() < end && !Interrupted()) {
            collector_.Round();
            ++round_;
            if (!plain_ || std::chrono::steady_clock::now() >= nextLine) {
                report_->ShowRound(round_, collector_);
                nextLine += std::chrono::seconds(1);
            }
        }
        report_->Detach();
    }

    // One device command with the control word and reference in results 3 and 4.
    double Command(const std::u16string& text, int32_t controlWord) {
        hostkit::String command;
        hostkit::DoubleArray results;
        hostkit::Set(command.raw, text);
        hostkit::Set(results.raw, {0.0, 0.0, 0.0, static_cast<double>(controlWord), kFullReference});
        devices_.Svr().DevIOCtrl(devices_.Instance(0), &command, &results, 0);
        const double status = hostkit::Values(results.raw)[0];
        char line[160];
        std::snprintf(line, sizeof line, "    %s  [control word 0x%04X, reference %d] -> %g (%s)",
                      hostkit::ToUtf8(text).c_str(), static_cast<unsigned>(controlWord), kFullReference, status,
                      CommandMeaning(status).c_str());
        Say(line);
        return status;
    }

    const Collector& Collected() const { return collector_; }

private:
    HostDevices& devices_;
    Collector collector_;
    std::unique_ptr<Report> report_;
    bool plain_;
    uint64_t round_ = 0;
};

void Summary(const DemoRun& run, korvansim::Simulator& drive, HostDevices& devices) {
    const CollectionStats& stats = run.Collected().Stats();
    char line[200];
    Say("");
    Say("Summary");
    std::snprintf(line, sizeof line, "  %llu collection calls, %llu answered, mean %.1f ms, worst %.1f ms per call",
                  static_cast<unsigned long long>(stats.calls), static_cast<unsigned long long>(stats.byStatus[0]),
                  stats.MeanMs(), stats.worstMs);
    Say(line);
    const auto frequency = drive.OutputFrequencyHz(1);
    std::snprintf(line, sizeof line, "  the simulated drive's output frequency is now %.1f Hz (status word 0x%04X)",
                  frequency.value_or(0.0), static_cast<unsigned>(drive.StatusWord(1).value_or(0)));
    Say(line);
    const auto ramp = devices.RunObject().Value(u"RAMP");
    if (ramp) {
        std::snprintf(line, sizeof line, "  host variable RAMP = %.2f s", static_cast<double>(std::get<float>(*ramp)));
        Say(line);
    }
}

int Play(HostDevices& devices, HostLine& line, const Options& options) {
    korvansim::Simulator& drive = *line.Simulator();
    devices.RunObject().Declare(u"RAMP", 0.0f);
    devices.AttachLine(line.DriverHandle());
    DemoRun run(devices, options);
    run.Start();
    Say("The drive is at rest. Collecting: one telegram per call, read groups in turn.");
    run.Watch(2.0);
    Say("");
    Say("Start: the first ZELK_WRITE to the control word sends a process telegram that");
    Say("carries results element 3 (control word) and element 4 (reference), not the value.");
    run.Command(u"ZELK_WRITE(3=1)", kRun);
    Say("The output frequency ramps up (ramp-up time 3.00 s):");
    run.Watch(5.0);
    Say("");
    Say("A parameter write and a read back into a host variable. Every parameter write");
    Say("also carries the control word and reference, so the motor keeps running:");
    run.Command(u"WRITE(207,-2,4,0,5.5)", kRun);
    run.Command(u"READ(207,-2,4,RAMP)", kRun);
    Say("");
    Say("Stop: a second ZELK_WRITE to the control word would send nothing (only the first");
    Say("one does, once in a device's life), so the stop travels inside a parameter write");
    Say("with bit 6 of the control word cleared (ramp stop), ramp-down time 1.50 s:");
    run.Command(u"ZELK_WRITE(3=0)", kStop);
    run.Command(u"WRITE(208,-2,4,0,1.5)", kStop);
    run.Watch(3.0);
    Summary(run, drive, devices);
    return 0;
}

}  // namespace

int Demo(const Options& given) {
    Options options = given;
    if (options.archives.front() == "korvan-device.archive") options.archives.front() = ExampleArchive();
    const std::string example = options.archives.front();
    std::string error;
    const std::string archive = CopyOfExample(options, error);
    if (archive.empty()) return Printf(stderr, "korvan-host: %s\n", error.c_str()), 1;
    options.archives = {archive};
    options.sim = true;
    options.port.clear();
    Say("Korvan demo: the driver " + DriverPath(options));
    Say("Device configuration: " + example + " (working copy " + archive + ")");
    HostDevices devices(DriverPath(options), options.archives,
                        options.force ? ArchiveUse::Forced : ArchiveUse::Existing);
    if (!devices.Error().empty()) return Printf(stderr, "korvan-host: %s\n", devices.Error().c_str()), 1;
    for (const Channel& channel : devices.Channels(0)) {
        Say("  channel " + hostkit::ToUtf8(channel.name) + " (type " + std::to_string(channel.type) + ")");
    }
    auto line = HostLine::Open(options, {1}, devices.DriverModule(), error);
    if (!line) return Printf(stderr, "korvan-host: %s\n", error.c_str()), 1;
    Say("A simulated VLT5000 answers at address 1 on a pseudo-terminal, paced as 9600 baud 8E1.");
    Say("");
    const int status = Play(devices, *line, options);
    devices.ReleaseAndSave();
    return status;
}

}  // namespace korvanhost
