#include "tools/korvan-host/commands.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/collection.h"
#include "tools/korvan-host/host_line.h"
#include "tools/korvan-host/meanings.h"
#include "tools/korvan-host/report.h"

namespace korvanhost {
namespace {

std::atomic<bool> interrupted{false};

void OnSignal(int) { interrupted = true; }

int Fail(const std::string& message) {
    std::fprintf(stderr, "korvan-host: %s\n", message.c_str());
    return 1;
}

std::string DriverPath(const Options& options) {
    return options.driver.empty() ? DriverBesideProgram() : options.driver;
}

// A session whose archives are saved when it ends.
struct Session {
    explicit Session(const Options& options) : devices(DriverPath(options), options.archives) {}
    int Finish() {
        if (!devices.ReleaseAndSave()) return Fail(devices.Error());
        return 0;
    }
    HostDevices devices;
};

std::u16string PropertyName(const std::string& name) {
    if (name == "address") return u"设备地址";
    if (name == "wait") return u"通讯等待时间";
    return hostkit::FromUtf8(name);
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

void Pace(double rate, std::chrono::steady_clock::time_point& next) {
    if (rate <= 0.0) return;
    next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(1.0 / rate));
    std::this_thread::sleep_until(next);
}

}  // namespace

bool Interrupted() { return interrupted; }

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

std::string DriverBesideProgram() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "Korvan.drv";
    std::string self(path, static_cast<std::size_t>(length));
    return self.substr(0, self.rfind('/') + 1) + "Korvan.drv";
}

int ShowProperties(const Options& options) {
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    for (const Property& property : session.devices.Properties(options.device)) {
        PrintLine(hostkit::ToUtf8(property.name) + " = " + hostkit::ToUtf8(property.value));
    }
    return session.Finish();
}

int SetProperties(const Options& options) {
    std::vector<Property> properties;
    for (const std::string& argument : options.arguments) {
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos) return Fail("set takes NAME=VALUE, not '" + argument + "'");
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
        if (!known) return Fail("unknown property '" + hostkit::ToUtf8(wanted.name) + "'");
    }
    session.devices.SetProperties(options.device, ordered);
    for (const Property& property : session.devices.Properties(options.device)) {
        PrintLine(hostkit::ToUtf8(property.name) + " = " + hostkit::ToUtf8(property.value));
    }
    return session.Finish();
}

int ShowChannels(const Options& options) {
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    const auto channels = session.devices.Channels(options.device);
    for (std::size_t k = 0; k < channels.size(); ++k) {
        PrintLine(std::to_string(k) + "\t" + std::to_string(channels[k].type) + "\t" +
                  hostkit::ToUtf8(channels[k].name));
    }
    return session.Finish();
}

int EditChannels(const Options& options) {
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    session.devices.Channels(options.device);  // the dialog needs the device loaded
    session.devices.Svr().EditCustomProperty(session.devices.Instance(options.device));
    return session.Finish();
}

int Run(const Options& options) {
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    std::string error;
    auto line = HostLine::Open(options, session.devices.Addresses(), error);
    if (!line) return Fail(error);
    session.devices.AttachLine(line->DriverHandle());
    Collector collector(session.devices);
    collector.Start();
    const bool terminal = isatty(STDOUT_FILENO) && !options.plain && !options.trace;
    const ReportStyle style = options.json ? ReportStyle::Json : terminal ? ReportStyle::LiveTable : ReportStyle::PlainLines;
    auto report = MakeReport(style, options.archives);
    auto next = std::chrono::steady_clock::now();
    for (uint64_t round = 1; !Interrupted() && (options.count < 0 || round <= static_cast<uint64_t>(options.count));
         ++round) {
        collector.Round();
        report->ShowRound(round, collector);
        Pace(options.rate, next);
    }
    return session.Finish();
}

int Execute(const Options& options) {
    Session session(options);
    if (!session.devices.Error().empty()) return Fail(session.devices.Error());
    std::string error;
    auto line = HostLine::Open(options, session.devices.Addresses(), error);
    if (!line) return Fail(error);
    for (const Variable& variable : options.variables) session.devices.RunObject().Declare(variable.name, variable.value);
    session.devices.AttachLine(line->DriverHandle());
    DeviceInstance* device = session.devices.Instance(options.device);
    session.devices.Svr().InitDevRun(device);
    for (const std::string& text : options.arguments) {
        hostkit::String command;
        hostkit::DoubleArray results;
        hostkit::Set(command.raw, hostkit::FromUtf8(text));
        hostkit::Set(results.raw, {0.0, 0.0, 0.0, static_cast<double>(options.controlWord),
                                   static_cast<double>(options.reference)});
        session.devices.Svr().DevIOCtrl(device, &command, &results, 0);
        const auto values = hostkit::Values(results.raw);
        char line0[64];
        std::snprintf(line0, sizeof line0, "%g", values[0]);
        PrintLine(text + " -> " + line0 + " (" + CommandMeaning(values[0]) + ")  status word " +
                  std::to_string(static_cast<int64_t>(values[2])) + "  present frequency " +
                  std::to_string(static_cast<int64_t>(values[1])));
    }
    for (const auto& [name, value] : session.devices.RunObject().Variables()) {
        PrintLine(hostkit::ToUtf8(name) + " = " + Describe(value));
    }
    return session.Finish();
}

}  // namespace korvanhost
