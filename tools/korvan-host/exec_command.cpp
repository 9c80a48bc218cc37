// exec: device commands through the driver, each text checked first, with the host
// variables of --var; what the drive said and the variables afterwards are shown.
#include <algorithm>
#include <cstdio>
#include <optional>

#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/commands.h"
#include "tools/korvan-host/line/command_text.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/line/line_checks.h"
#include "tools/korvan-host/line/meanings.h"
#include "tools/korvan-host/line/progress.h"
#include "tools/korvan-host/line/report.h"

namespace korvanhost {
namespace {

std::string Describe(const hostkit::HostValue& value) {
    if (auto* i = std::get_if<int32_t>(&value)) return std::to_string(*i) + " (int)";
    if (auto* f = std::get_if<float>(&value)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.7g (float)", static_cast<double>(*f));
        return text;
    }
    return "\"" + hostkit::ToUtf8(std::get<std::u16string>(value)) + "\" (text)";
}

// What one command text gave: element 0, and the status word and present frequency
// where the driver reported them (only a READ does).
struct CommandOutcome {
    static constexpr double kNotReported = -1.0;
    double status = 0.0;
    double presentFrequency = kNotReported;
    double statusWord = kNotReported;
    std::string refusal;  // why the drive refused, as its reply says
    std::optional<uint16_t> mainActual;  // the reply's PCD2, where the status word came with it

    std::string Meaning() const {
        if (refusal.empty()) return CommandMeaning(status);
        return CommandMeaning(status) + (status == 4.0 ? ": " : ": the drive refused, ") + refusal;
    }
    std::string Line(const std::string& text) const {
        std::string line = text + " -> " + StatusText(status, Meaning());
        if (statusWord != kNotReported) line += "  status word " + StatusWordText(static_cast<uint16_t>(statusWord));
        if (presentFrequency != kNotReported) {
            line += "  present frequency " + Whole(presentFrequency);
            if (mainActual) line += " (main actual value " + MainActualText(*mainActual) + ")";
        }
        return line;
    }
    std::string Json(const std::string& text) const {
        return "{\"text\":" + JsonString(text) + ",\"status\":" + Whole(status) + ",\"meaning\":" +
               JsonString(Meaning()) + ",\"statusWord\":" +
               (statusWord != kNotReported ? Whole(statusWord) : "null") + ",\"presentFrequency\":" +
               (presentFrequency != kNotReported ? Whole(presentFrequency) : "null") + ",\"mainActualPercent\":" +
               (mainActual && presentFrequency != kNotReported ? MainActualPercent(*mainActual) : "null") + "}";
    }
    static std::string Whole(double value) { return std::to_string(static_cast<int64_t>(value)); }
};

CommandOutcome RunCommand(Session& session, HostLine& line, DeviceInstance* device, const std::string& text,
                          const Options& options) {
    hostkit::String command;
    hostkit::DoubleArray results;
    hostkit::Set(command.raw, hostkit::FromUtf8(text));
    hostkit::Set(results.raw, {0.0, CommandOutcome::kNotReported, CommandOutcome::kNotReported,
                               static_cast<double>(options.controlWord), static_cast<double>(options.reference)});
    session.devices.Svr().DevIOCtrl(device, &command, &results, 0);
    const auto values = hostkit::Values(results.raw);
    CommandOutcome outcome{values[0], values[1], values[2], line.Watch().TakeRefusal(), std::nullopt};
    if (outcome.status == 0.0) outcome.refusal.clear();  // a chained command's, not this text's result
    const int32_t address = session.devices.Address(options.device);
    if (address > 0) outcome.mainActual = line.Watch().MainActual(static_cast<uint8_t>(address));
    return outcome;
}

// What the host knows of a device for checking its command texts.
CommandContext ContextOf(const Options& options, Session* session) {
    CommandContext context{options.variables, std::nullopt};
    if (session == nullptr) return context;
    if (auto content = hostkit::DecodeBlob(session->devices.Configuration(options.device))) {
        context.channels = std::move(content->channels);
    }
    return context;
}

std::string VariablesJson(Session& session) {
    std::string json;
    for (const auto& [name, value] : session.devices.RunObject().Variables()) {
        std::string shown;
        if (auto* i = std::get_if<int32_t>(&value)) shown = std::to_string(*i);
        else if (std::holds_alternative<float>(value)) shown = Describe(value).substr(0, Describe(value).find(' '));
        else shown = JsonString(hostkit::ToUtf8(std::get<std::u16string>(value)));
        json += (json.empty() ? "" : ",") + JsonString(hostkit::ToUtf8(name)) + ":" + shown;
    }
    return "{" + json + "}";
}

// The commands in the texts: each is WORD(arguments), and arguments hold no parenthesis.
uint64_t CommandCount(const std::vector<std::string>& texts) {
    uint64_t count = 0;
    for (const std::string& text : texts) count += static_cast<uint64_t>(std::count(text.begin(), text.end(), ')'));
    return count;
}

}  // namespace

int Execute(const Options& options) {
    // Checked before anything is loaded, then against the device's channels.
    if (const std::string problem = CheckCommandTexts(options.arguments, ContextOf(options, nullptr)); !problem.empty()) {
        return Fail(problem, kBadCommandLine);
    }
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    session.devices.ReleaseLocks();  // commands change no archive
    if (const std::string shared = SharedAddress(session); !shared.empty()) return Fail(shared, kBadCommandLine);
    if (const std::string problem = CheckCommandTexts(options.arguments, ContextOf(options, &session));
        !problem.empty()) {
        return Fail(problem, kBadCommandLine);
    }
    SayHowToStop(session, options);
    std::string error;
    auto line = HostLine::Open(options, session.devices.Addresses(), session.devices.DriverModule(), error);
    if (!line) return Fail(error);
    for (const Variable& variable : options.variables) session.devices.RunObject().Declare(variable.name, variable.value);
    session.devices.AttachLine(line->DriverHandle());
    DeviceInstance* device = session.devices.Instance(options.device);
    session.devices.Svr().InitDevRun(device);
    std::vector<std::string> failed;
    bool unusable = false;  // a text the driver refused: nothing of it was sent
    std::string json;
    Progress progress(ProgressShown(options), CommandCount(options.arguments));
    uint64_t done = 0;
    for (const std::string& text : options.arguments) {
        progress.Advance(done, text.substr(0, 40));
        const CommandOutcome outcome = RunCommand(session, *line, device, text, options);
        done += CommandCount({text});
        if (outcome.status != 0.0) failed.push_back(text);
        unusable = unusable || outcome.status == 300.0;
        if (options.json) json += (json.empty() ? "" : ",") + outcome.Json(text);
        else progress.Print(outcome.Line(text));
    }
    if (options.json) {
        PrintLine("{\"time\":" + JsonString(IsoTimeNow()) + ",\"commands\":[" + json +
                  "],\"variables\":" + VariablesJson(session) + "}");
    }
    for (const auto& [name, value] : session.devices.RunObject().Variables()) {
        if (!options.json) PrintLine(hostkit::ToUtf8(name) + " = " + Describe(value));
    }
    const int finished = session.Finish();
    if (finished != kDone) return finished;
    if (failed.empty()) return kDone;
    return Fail(std::to_string(failed.size()) + " of " + std::to_string(options.arguments.size()) +
                    " commands failed, first \"" + failed.front() + "\"",
                unusable ? kBadCommandLine : kDriveFailed);
}

}  // namespace korvanhost
