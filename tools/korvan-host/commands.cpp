#include "tools/korvan-host/commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>

#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/archive/channel_field_text.h"
#include "tools/korvan-host/line/collection.h"
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/line/command_text.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-host/line/meanings.h"
#include "tools/korvan-host/archive/parameter_catalog.h"
#include "tools/korvan-host/line/progress.h"
#include "tools/korvan-host/line/report.h"
#include "tools/korvan-sim/framing.h"
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

// The driver takes any text and reads its leading digits ("12abc" is 12, "abc" 0);
// what it would store is said here. A value that is no whole number is refused even
// with --force (`syntax`); one outside the range the line can use only without it.
struct PropertyCheck {
    std::string problem;
    bool syntax = false;
};

PropertyCheck CheckProperty(const Property& property) {
    const std::string text = hostkit::ToUtf8(property.value);
    const bool address = property.name == u"设备地址";
    if (!address && property.name != u"通讯等待时间") return {};
    const bool whole = !text.empty() && text.size() < 10 && text.find_first_not_of("0123456789") == std::string::npos;
    if (!whole) {
        return {std::string(address ? "address" : "wait time") + " '" + text + "' is not a whole number", true};
    }
    const int64_t number = std::stoll(text);
    if (address && (number < 1 || number > 31)) return {"address " + text + " cannot work on an FC line: the drive takes 1..31"};
    if (!address && (number < 1 || number > 10000)) return {"wait time " + text + " cannot work: give 1..10000 ms"};
    return {};
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

// A host channel as `channels` shows it; "-" where a field does not apply.
struct ChannelDescription {
    std::string name, parameter = "-", dataType, conversion = "-", access, retain = "-";
};

ChannelDescription Describe(const Channel& channel, const hostkit::BlobChannel* table, std::size_t k) {
    ChannelDescription d;
    const std::string gloss = ChannelGloss(channel.name);
    d.name = hostkit::ToUtf8(channel.name) + (gloss.empty() ? "" : " (" + gloss + ")");
    d.dataType = k == 0 ? "status" : k < 5 ? "process data" : TypeName(channel.type);
    d.access = channel.type < 0 ? "wo" : "ro";
    if (table == nullptr) return d;
    d.parameter = std::to_string(table->number);
    d.dataType = DataTypeText(table->type);
    d.conversion = ConversionText(table->conversion);
    d.access = AccessText(table->access);
    d.retain = std::to_string(table->retain);
    return d;
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

// The wire time of a 16-byte request and its 16-byte reply at the line's baud rate
// and framing, in milliseconds: no reply can come sooner.
double ExchangeWireMs(const Options& options) {
    const korvansim::Framing framing = korvansim::ParseFraming(options.framing).value_or(korvansim::Framing{});
    const int bits = 1 + framing.dataBits + (framing.parity == korvansim::Parity::None ? 0 : 1) + framing.stopBits;
    return 32.0 * bits * 1000.0 / options.baud;
}

// A warning when the wait time is shorter than a request and its reply take on the
// line: every exchange would end before its reply came, and a late reply could be
// taken for the next request's.
void WarnShortWait(int64_t waitMs, const Options& options) {
    const double wire = ExchangeWireMs(options);
    if (waitMs <= 0 || waitMs >= wire) return;
    char text[200];
    std::snprintf(text, sizeof text,
                  "wait time %lld ms is shorter than a request and its reply take on the line at %u baud %s "
                  "(%.1f ms): no reply can come in time",
                  static_cast<long long>(waitMs), options.baud, options.framing.c_str(), wire);
    Warn(text);
}

// The device's communication wait time in milliseconds (the driver's reading of it).
int64_t WaitMs(Session& session, std::size_t device) {
    const auto properties = session.devices.Properties(device);
    if (properties.size() < 2) return 200;
    int64_t wait = 0;
    for (char16_t c : properties[1].value) {
        if (c < u'0' || c > u'9' || wait > 100000) break;
        wait = wait * 10 + (c - u'0');
    }
    return wait;
}

// What the first Ctrl-C of a run or exec says: the exchange in progress ends first.
void SayHowToStop(Session& session, const Options& options) {
    int64_t longest = 0;
    for (std::size_t d = 0; d < session.devices.Count(); ++d) {
        const int64_t wait = WaitMs(session, d);
        WarnShortWait(wait, options);
        longest = std::max(longest, wait);
    }
    char text[160];
    std::snprintf(text, sizeof text, "stopping after the exchange in progress (up to %.3g s; Ctrl-C again to leave now)",
                  static_cast<double>(std::max<int64_t>(longest, 200)) / 1000.0);
    SayOnInterrupt(text);
}

// Why the devices cannot share one line: two archives with one address; empty when
// they can.
std::string SharedAddress(Session& session) {
    for (std::size_t a = 0; a < session.devices.Count(); ++a) {
        for (std::size_t b = a + 1; b < session.devices.Count(); ++b) {
            const int32_t address = session.devices.Address(a);
            if (address > 0 && address == session.devices.Address(b)) {
                return session.devices.ArchivePath(a) + " and " + session.devices.ArchivePath(b) + " both have address " +
                       std::to_string(address) + ": two devices cannot answer one address";
            }
        }
    }
    return "";
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
               (mainActual && presentFrequency != kNotReported ? Percent(*mainActual) : "null") + "}";
    }
    static std::string Whole(double value) { return std::to_string(static_cast<int64_t>(value)); }
    static std::string Percent(uint16_t pcd2) {
        char text[32];
        std::snprintf(text, sizeof text, "%.4g", static_cast<int16_t>(pcd2) * 100.0 / 16384.0);
        return text;
    }
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
        const PropertyCheck check = CheckProperty(wanted);
        if (check.syntax) return Fail(check.problem, kBadCommandLine);
        if (!check.problem.empty() && !options.force) {
            return Fail(check.problem + " (--force stores it anyway)", kBadCommandLine);
        }
        if (!check.problem.empty()) Warn(check.problem);
        if (wanted.name == u"通讯等待时间" && !check.syntax) WarnShortWait(std::stoll(hostkit::ToUtf8(wanted.value)), options);
    }
    session.devices.SetProperties(options.device, ordered);
    const auto stored = session.devices.Properties(options.device);
    // What was stored is said only once it is saved.
    if (const int saved = session.Finish(); saved != kDone) return saved;
    PrintProperties(stored, options.json);
    return kDone;
}

int ShowChannels(const Options& options) {
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    const auto channels = session.devices.Channels(options.device);
    const auto content = hostkit::DecodeBlob(session.devices.Configuration(options.device));
    std::string json;
    if (!options.json) PrintLine("k\tname\tparameter\ttype\tconversion\taccess\tretain");
    for (std::size_t k = 0; k < channels.size(); ++k) {
        // Host channel k is table position k - 1; from 5 on, a parameter channel.
        const hostkit::BlobChannel* table =
            content && k >= 5 && k - 1 < content->channels.size() ? &content->channels[k - 1] : nullptr;
        const ChannelDescription d = Describe(channels[k], table, k);
        if (options.json) {
            json += (k ? "," : "") + std::string("{\"k\":") + std::to_string(k) + ",\"name\":" + JsonString(d.name) +
                    ",\"type\":" + std::to_string(channels[k].type) + ",\"typeName\":" +
                    JsonString(TypeName(channels[k].type)) + ",\"pnu\":" + (table ? std::to_string(table->number) : "null") +
                    ",\"dataType\":" + JsonString(d.dataType) + ",\"conversion\":" + JsonString(d.conversion) +
                    ",\"access\":" + JsonString(d.access) + ",\"retain\":" + (table ? std::to_string(table->retain) : "null") +
                    "}";
        } else {
            PrintLine(std::to_string(k) + "\t" + d.name + "\t" + d.parameter + "\t" + d.dataType + "\t" + d.conversion +
                      "\t" + d.access + "\t" + d.retain);
        }
    }
    if (options.json) PrintLine("[" + json + "]");
    else PrintLine("(host channel numbers move when a channel is added before them; ZELK_WRITE(k=v) uses them)");
    return session.Finish();
}

int EditChannels(const Options& options) {
    if (const std::string reason = DialogCannotOpen(DriverPath(options)); !reason.empty()) return Fail(reason);
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    session.devices.Channels(options.device);  // the dialog needs the device loaded
    const bool storedBefore = session.devices.DriverStored(options.device);
    {
        PlainInterrupts plain("edit interrupted: nothing saved");  // the dialog's loop has the thread
        session.devices.Svr().EditCustomProperty(session.devices.Instance(options.device));
    }
    // The driver stores the configuration when the dialog ends with OK, and only then.
    const bool confirmed = !storedBefore && session.devices.DriverStored(options.device);
    const bool changed = session.devices.Changed(options.device);
    if (const int saved = session.Finish(); saved != kDone) return saved;
    PrintLine(!confirmed ? "cancelled, nothing saved"
                         : changed ? "saved " + session.devices.ArchivePath(options.device)
                                   : "OK without a change: nothing to save");
    return kDone;
}

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
