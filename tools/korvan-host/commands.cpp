// The commands on archives: init, props, set, channels and edit.
#include "tools/korvan-host/commands.h"

#include <cstdio>

#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/archive/channel_field_text.h"
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/line/line_checks.h"
#include "tools/korvan-host/line/report.h"
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

}  // namespace korvanhost
