#include "tools/korvan-sim/simulator.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "tools/korvan-sim/drive_line.h"
#include "tools/korvan-sim/gbk_text.h"
#include "tools/korvan-sim/line_server.h"
#include "tools/korvan-sim/parameter_loader.h"
#include "tools/korvan-sim/program_files.h"
#include "tools/korvan-sim/pty_link.h"

namespace korvansim {

struct Simulator::State {
    explicit State(Options given) : options(std::move(given)), faults(options.seed) {}

    Options options;
    FaultInjector faults;
    ReplyLog log;
    std::unique_ptr<DriveLine> line;  // made at the first start
    std::unique_ptr<LineServer> server;
    PtyLink link;
    mutable std::mutex mutex;  // guards line, server and error against Start/Stop
    std::string error;
};

namespace {

std::string CheckOptions(const Options& options) {
    if (options.addresses.empty()) {
        return "no drive address given";
    }
    for (std::size_t i = 0; i < options.addresses.size(); ++i) {
        const std::uint8_t address = options.addresses[i];
        if (address < 1 || address > 126) {
            return "drive address " + std::to_string(address) + " is outside 1..126";
        }
        if (std::count(options.addresses.begin(), options.addresses.begin() + static_cast<std::ptrdiff_t>(i), address) != 0) {
            return "drive address " + std::to_string(address) + " is given twice";
        }
    }
    if (!IsSupportedBaud(options.baud)) {
        return "baud rate " + std::to_string(options.baud) + " is not supported";
    }
    if (options.deterministic && options.stepUs <= 0) {
        return "the deterministic time step must be positive";
    }
    return "";
}

}  // namespace

Simulator::Simulator(Options options) : state_(std::make_unique<State>(std::move(options))) {}

Simulator::~Simulator() {
    Stop();
}

bool Simulator::Prepare() {
    if (state_->server) {
        state_->error = "the simulator is already running";
        return false;
    }
    if (state_->line) {
        return true;
    }
    const Options& options = state_->options;
    if (const std::string problem = CheckOptions(options); !problem.empty()) {
        state_->error = problem;
        return false;
    }
    Result<ParameterTable> table =
        LoadParameterTable(options.parameterFile.empty() ? DefaultParameterFile() : options.parameterFile);
    if (!table) {
        state_->error = table.Error();
        return false;
    }
    std::unique_ptr<ModelClock> clock = options.deterministic ? MakeSteppedClock(options.stepUs) : MakeRealClock();
    state_->line = std::make_unique<DriveLine>(std::move(*table), options.addresses, std::move(clock));
    return true;
}

namespace {

LineServerSettings ServerSettings(const Options& options, bool hardwarePaced) {
    LineServerSettings settings;
    settings.pacing.baud = options.baud;
    settings.pacing.framing = options.framing;
    settings.pacing.pacing = options.pacing;
    settings.pacing.hardwarePaced = hardwarePaced;
    settings.pacing.turnaroundNs = options.turnaroundUs < 0 ? -1 : options.turnaroundUs * 1000;
    // A pause of four characters ends a telegram, but never less than 5 ms: a writer on a pty
    // cannot promise tighter gaps.
    settings.stallNs = std::max<std::int64_t>(WireNanoseconds(options.baud, options.framing, 4), 5000000);
    settings.wireLogPath = options.wireLogPath;
    settings.trace = options.trace;
    return settings;
}

}  // namespace

std::string Simulator::StartOnPty() {
    const std::lock_guard lock(state_->mutex);
    if (!Prepare()) {
        return "";
    }
    Result<Port> port = OpenPseudoTerminal(state_->options.baud, state_->options.framing);
    if (!port) {
        state_->error = port.Error();
        return "";
    }
    const std::string path = port->path;
    if (!state_->options.linkPath.empty()) {
        Result<PtyLink> link = PtyLink::Create(state_->options.linkPath, path);
        if (!link) {
            state_->error = link.Error();
            return "";
        }
        state_->link = std::move(*link);
    }
    auto server = std::make_unique<LineServer>(std::move(*port), *state_->line, state_->faults, state_->log,
                                               ServerSettings(state_->options, false));
    if (const Result<bool> started = server->Start(); !started) {
        state_->error = started.Error();
        state_->link = PtyLink();
        return "";
    }
    state_->server = std::move(server);
    return path;
}

bool Simulator::StartOnTty(const std::string& path) {
    const std::lock_guard lock(state_->mutex);
    if (!Prepare()) {
        return false;
    }
    Result<Port> port = OpenSerialPort(path, state_->options.baud, state_->options.framing);
    if (!port) {
        state_->error = port.Error();
        return false;
    }
    auto server = std::make_unique<LineServer>(std::move(*port), *state_->line, state_->faults, state_->log,
                                               ServerSettings(state_->options, true));
    if (const Result<bool> started = server->Start(); !started) {
        state_->error = started.Error();
        return false;
    }
    state_->server = std::move(server);
    return true;
}

void Simulator::Stop() {
    const std::lock_guard lock(state_->mutex);
    if (state_->server) {
        state_->server->Stop();
        const std::string error = state_->server->Error();
        if (!error.empty()) {
            state_->error = error;
        }
        state_->server.reset();
    }
    state_->link = PtyLink();
}

bool Simulator::Running() const {
    const std::lock_guard lock(state_->mutex);
    return state_->server && state_->server->Running();
}

std::string Simulator::Error() const {
    const std::lock_guard lock(state_->mutex);
    if (state_->server && !state_->server->Error().empty()) {
        return state_->server->Error();
    }
    return state_->error;
}

template <typename Action>
bool Simulator::WithDrive(std::uint8_t address, Action&& action) const {
    const std::lock_guard lock(state_->mutex);
    return state_->line && state_->line->WithDrive(address, std::forward<Action>(action));
}

std::optional<std::int64_t> Simulator::Value(std::uint8_t address, std::uint16_t pnu, std::uint16_t index, Copy copy) const {
    std::optional<std::int64_t> value;
    WithDrive(address, [&](DriveModel& drive, std::int64_t) { value = drive.Store().Value(pnu, index, copy); });
    return value;
}

std::optional<std::string> Simulator::Text(std::uint8_t address, std::uint16_t pnu, Copy copy) const {
    std::optional<std::string> text;
    WithDrive(address, [&](DriveModel& drive, std::int64_t) {
        if (const std::vector<std::uint8_t>* bytes = drive.Store().Text(pnu, copy)) {
            text = GbkToUtf8(*bytes);
        }
    });
    return text;
}

std::optional<std::uint16_t> Simulator::StatusWord(std::uint8_t address) const {
    std::optional<std::uint16_t> word;
    WithDrive(address, [&](DriveModel& drive, std::int64_t) { word = drive.StatusWord(); });
    return word;
}

std::optional<std::uint16_t> Simulator::MainActualValue(std::uint8_t address) const {
    std::optional<std::uint16_t> value;
    WithDrive(address, [&](DriveModel& drive, std::int64_t) { value = drive.MainActual(); });
    return value;
}

std::optional<double> Simulator::OutputFrequencyHz(std::uint8_t address) const {
    std::optional<double> hz;
    WithDrive(address, [&](DriveModel& drive, std::int64_t) { hz = static_cast<double>(drive.FrequencyUhz()) / 1e6; });
    return hz;
}

bool Simulator::SetValue(std::uint8_t address, std::uint16_t pnu, std::uint16_t index, std::int64_t value) {
    bool stored = false;
    WithDrive(address, [&](DriveModel& drive, std::int64_t) { stored = drive.Store().SetValue(pnu, index, value, true); });
    return stored;
}

bool Simulator::Trip(std::uint8_t address, std::uint8_t alarm) {
    return WithDrive(address, [&](DriveModel& drive, std::int64_t now) { drive.Trip(alarm, now); });
}

std::vector<ReplyRecord> Simulator::TakeReplyLog() {
    return state_->log.Take();
}

FaultInjector& Simulator::Faults() {
    return state_->faults;
}

std::int64_t Simulator::ModelTimeUs() const {
    const std::lock_guard lock(state_->mutex);
    return state_->line ? state_->line->NowUs() : 0;
}

}  // namespace korvansim
