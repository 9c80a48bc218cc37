#include "tools/korvan-host/commands.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/collection.h"
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/command_text.h"
#include "tools/korvan-host/host_line.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-host/meanings.h"
#include "tools/korvan-host/report.h"
#include "tools/korvan-sim/program_files.h"

namespace korvanhost {
namespace {

std::u16string PropertyName(const std::string& name) {
    if (name == "address") return u"设备地址";
    if (name == "wait") return u"通讯等待时间";
    return hostkit::FromUtf8(name);
}

// English for the properties' names.
std::string Gloss(const std::u16string& name) {
    if (name == u"设备地址") return "device address";
    if (name == u"通讯等待时间") return "communication wait time, ms";
    return "";
}

std::string PropertyLine(const Property& property) {
    const std::string gloss = Gloss(property.name);
    return hostkit::ToUtf8(property.name) + " = " + hostkit::ToUtf8(property.value) +
           (gloss.empty() ? "" : "    (" + gloss + ")");
}

// The driver takes any text; what cannot work on an FC line is said here. Empty when
// the value is fine.
std::string PropertyProblem(const Property& property) {
    const std::string text = hostkit::ToUtf8(property.value);
    int64_t number = 0;
    const bool whole = !text.empty() && text.size() < 12 &&
                       text.find_first_not_of("0123456789") == std::string::npos && (number = std::stoll(text), true);
    if (property.name == u"设备地址" && (!whole || number < 1 || number > 31)) {
        return "address " + text + " cannot work on an FC line: the drive takes 1..31";
    }
    if (property.name == u"通讯等待时间" && (!whole || number < 1 || number > 10000)) {
        return "wait time " + text + " cannot work: give 1..10000 ms";
    }
    return "";
}

void PrintProperties(const std::vector<Property>& properties, bool json) {
    std::string object;
    for (const Property& property : properties) {
        if (!json) PrintLine(PropertyLine(property));
        object += (object.empty() ? "" : ",") + JsonString(hostkit::ToUtf8(property.name)) + ":" +
                  JsonString(hostkit::ToUtf8(property.value));
    }
    if (json) PrintLine("{" + object + "}");
}

// English for the fixed channels' names.
std::string ChannelGloss(const std::u16string& name) {
    if (name == u"通讯状态") return "communication status";
    if (name == u"当前频率") return "present frequency";
    if (name == u"状态字") return "status word";
    if (name == u"控制字") return "control word";
    if (name == u"期望值") return "reference";
    return "";
}

std::string Describe(const hostkit::HostValue& value) {
    if (auto* i = std::get_if<int32_t>(&value)) return std::to_string(*i) + " (int)";
    if (auto* f = std::get_if<float>(&value)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.7g (float)", static_cast<double>(*f));
        return text;
    }
    return "\"" + hostkit::ToUtf8(std::get<std::u16string>(value)) + "\" (text)";
}

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

// What one command text gave: element 0, and the status word and present frequency
// where the driver reported them (only a READ does).
struct CommandOutcome {
    static constexpr double kNotReported = -1.0;
    double status = 0.0;
    double presentFrequency = kNotReported;
    double statusWord = kNotReported;

    std::string Line(const std::string& text) const {
        std::string line = text + " -> " + StatusText(status, CommandMeaning(status));
        if (statusWord != kNotReported) line += "  status word " + Hex(statusWord);
        if (presentFrequency != kNotReported) line += "  present frequency " + Whole(presentFrequency);
        return line;
    }
    std::string Json(const std::string& text) const {
        return "{\"text\":" + JsonString(text) + ",\"status\":" + Whole(status) + ",\"meaning\":" +
               JsonString(CommandMeaning(status)) + ",\"statusWord\":" +
               (statusWord != kNotReported ? Whole(statusWord) : "null") + ",\"presentFrequency\":" +
               (presentFrequency != kNotReported ? Whole(presentFrequency) : "null") + "}";
    }
    static std::string Whole(double value) { return std::to_string(static_cast<int64_t>(value)); }
    static std::string Hex(double value) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04llX", static_cast<unsigned long long>(value));
        return text;
    }
};

CommandOutcome RunCommand(Session& session, DeviceInstance* device, const std::string& text, const Options& options) {
    hostkit::String command;
    hostkit::DoubleArray results;
    hostkit::Set(command.raw, hostkit::FromUtf8(text));
    hostkit::Set(results.raw, {0.0, CommandOutcome::kNotReported, CommandOutcome::kNotReported,
                               static_cast<double>(options.controlWord), static_cast<double>(options.reference)});
    session.devices.Svr().DevIOCtrl(device, &command, &results, 0);
    const auto values = hostkit::Values(results.raw);
    return {values[0], values[1], values[2]};
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

void Pace(double rate, std::chrono::steady_clock::time_point& next) {
    if (rate <= 0.0) return;
    next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(1.0 / rate));
    std::this_thread::sleep_until(next);
}

}  // namespace

std::string DefaultDriverPath() {
#ifdef KORVAN_INSTALL_LAYOUT
    return korvansim::DriverFile(KORVAN_DRIVER_FILE, true);
#else
    return korvansim::DriverFile(KORVAN_DRIVER_FILE, false);
#endif
}

int InitArchives(const Options& options) {
    if (!options.arguments.empty()) {
        return Fail("init takes no argument '" + options.arguments.front() + "'", kBadCommandLine);
    }
    HostDevices devices(DriverPath(options), options.archives, ArchiveUse::New);
    if (!devices.Error().empty()) return Fail(devices.Error());
    if (!devices.ReleaseAndSave()) return Fail(devices.Error());
    for (const std::string& archive : options.archives) {
        PrintLine(archive + ": a new archive with the driver's default configuration");
    }
    return kDone;
}

int ShowProperties(const Options& options) {
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    PrintProperties(session.devices.Properties(options.device), options.json);
    return session.Finish();
}

int SetProperties(const Options& options) {
    std::vector<Property> properties;
    for (const std::string& argument : options.arguments) {
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos) return Fail("set takes NAME=VALUE, not '" + argument + "'", kBadCommandLine);
        properties.push_back({PropertyName(argument.substr(0, equals)), hostkit::FromUtf8(argument.substr(equals + 1))});
    }
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    const auto current = session.devices.Properties(options.device);
    // The driver matches names by position: put each value at its property's place.
    std::vector<Property> ordered = current;
    for (Property& slot : ordered) slot.value.clear();
    for (const Property& wanted : properties) {
        bool known = false;
        for (Property& slot : ordered) {
            if (slot.name == wanted.name) slot.value = wanted.value, known = true;
        }
        if (!known) return Fail("unknown property '" + hostkit::ToUtf8(wanted.name) + "'", kBadCommandLine);
        const std::string problem = PropertyProblem(wanted);
        if (!problem.empty() && !options.force) return Fail(problem + " (--force stores it anyway)", kBadCommandLine);
        if (!problem.empty()) Printf(stderr, "korvan-host: warning: %s\n", problem.c_str());
    }
    session.devices.SetProperties(options.device, ordered);
    PrintProperties(session.devices.Properties(options.device), options.json);
    return session.Finish();
}

int ShowChannels(const Options& options) {
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    const auto channels = session.devices.Channels(options.device);
    std::string json;
    for (std::size_t k = 0; k < channels.size(); ++k) {
        const std::string name = hostkit::ToUtf8(channels[k].name);
        const std::string gloss = ChannelGloss(channels[k].name);
        if (options.json) {
            json += (k ? "," : "") + std::string("{\"k\":") + std::to_string(k) + ",\"name\":" + JsonString(name) +
                    ",\"type\":" + std::to_string(channels[k].type) + ",\"typeName\":" +
                    JsonString(TypeName(channels[k].type)) + "}";
        } else {
            PrintLine(std::to_string(k) + "\t" + TypeName(channels[k].type) + "\t" + name +
                      (gloss.empty() ? "" : "  (" + gloss + ")"));
        }
    }
    if (options.json) PrintLine("[" + json + "]");
    return session.Finish();
}

int EditChannels(const Options& options) {
    if (const std::string reason = DialogCannotOpen(DriverPath(options)); !reason.empty()) return Fail(reason);
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    session.devices.Channels(options.device);  // the dialog needs the device loaded
    {
        PlainInterrupts plain;  // the dialog's loop has the thread
        session.devices.Svr().EditCustomProperty(session.devices.Instance(options.device));
    }
    return session.Finish();
}

int Run(const Options& options) {
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    std::string error;
    auto line = HostLine::Open(options, session.devices.Addresses(), session.devices.DriverModule(), error);
    if (!line) return Fail(error);
    session.devices.AttachLine(line->DriverHandle());
    Collector collector(session.devices);
    collector.Start();
    const bool terminal = OutputIsTerminal() && !options.plain && !options.trace;
    const ReportStyle style = options.json ? ReportStyle::Json : terminal ? ReportStyle::LiveTable : ReportStyle::PlainLines;
    if (const std::string hint = NothingToCollect(session, collector); !hint.empty()) {
        session.Finish();
        return Fail(hint);
    }
    auto report = MakeReport(style, options.archives);
    auto next = std::chrono::steady_clock::now();
    for (uint64_t round = 1; !Interrupted() && (options.count < 0 || round <= static_cast<uint64_t>(options.count));
         ++round) {
        collector.Round();
        report->ShowRound(round, collector);
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

int Execute(const Options& options) {
    for (const std::string& text : options.arguments) {
        if (const std::string problem = CheckCommandText(text); !problem.empty()) {
            return Fail("\"" + text + "\": " + problem, kBadCommandLine);
        }
    }
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    std::string error;
    auto line = HostLine::Open(options, session.devices.Addresses(), session.devices.DriverModule(), error);
    if (!line) return Fail(error);
    for (const Variable& variable : options.variables) session.devices.RunObject().Declare(variable.name, variable.value);
    session.devices.AttachLine(line->DriverHandle());
    DeviceInstance* device = session.devices.Instance(options.device);
    session.devices.Svr().InitDevRun(device);
    std::vector<std::string> failed;
    std::string json;
    for (const std::string& text : options.arguments) {
        const CommandOutcome outcome = RunCommand(session, device, text, options);
        if (outcome.status != 0.0) failed.push_back(text);
        if (options.json) json += (json.empty() ? "" : ",") + outcome.Json(text);
        else PrintLine(outcome.Line(text));
    }
    if (options.json) PrintLine("{\"commands\":[" + json + "],\"variables\":" + VariablesJson(session) + "}");
    for (const auto& [name, value] : session.devices.RunObject().Variables()) {
        if (!options.json) PrintLine(hostkit::ToUtf8(name) + " = " + Describe(value));
    }
    const int finished = session.Finish();
    if (finished != kDone) return finished;
    if (failed.empty()) return kDone;
    return Fail(std::to_string(failed.size()) + " of " + std::to_string(options.arguments.size()) +
                    " commands failed, first \"" + failed.front() + "\"",
                kDriveFailed);
}

}  // namespace korvanhost
