#include "tools/korvan-host/commissioning/drive_link.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cmath>
#include <thread>

#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/line/command_text.h"
#include "tools/korvan-host/host_system.h"

namespace korvanhost {
namespace {

constexpr const char16_t* kNumber = u"KorvanValue";
constexpr const char16_t* kText = u"KorvanText";
constexpr int32_t kTextType = 5;
constexpr double kNoStatusWord = -1.0;

// The error number of "error 17, cannot be changed …"; none for a refusal without one.
std::optional<int32_t> ErrorNumber(const std::string& reason) {
    if (reason.rfind("error ", 0) != 0) return std::nullopt;
    const std::size_t end = reason.find(',');
    try {
        return std::stoi(reason.substr(6, end - 6));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string FailureReason(double status) {
    if (status == 2.0) return "no reply";
    if (status == 3.0) return "a bad reply";
    return "the request could not be sent";
}

}  // namespace

std::unique_ptr<DriveLink> DriveLink::Open(const Options& options, HostDevices& devices, std::size_t device,
                                           std::string& error) {
    devices.ReleaseLocks();  // these commands change no archive: others may, meanwhile
    SayOnInterrupt("stopping after the exchange in progress (Ctrl-C again to leave now)");
    auto line = HostLine::Open(options, devices.Addresses(), devices.DriverModule(), error);
    if (!line) return nullptr;
    devices.AttachLine(line->DriverHandle());
    devices.Svr().InitDevRun(devices.Instance(device));
    return std::unique_ptr<DriveLink>(new DriveLink(devices, device, std::move(line)));
}

DriveLink::DriveLink(HostDevices& devices, std::size_t device, std::unique_ptr<HostLine> line)
    : devices_(devices), device_(device), line_(std::move(line)) {}

std::pair<double, double> DriveLink::Run(const std::string& text) {
    hostkit::String command;
    hostkit::DoubleArray results;
    hostkit::Set(command.raw, hostkit::FromUtf8(text));
    hostkit::Set(results.raw, {0.0, 0.0, kNoStatusWord, 0.0, 0.0});
    line_->Watch().TakeRefusal();  // one left from before is not this request's
    devices_.Svr().DevIOCtrl(devices_.Instance(device_), &command, &results, 0);
    const auto values = hostkit::Values(results.raw);
    return {values[0], values[2]};
}

void DriveLink::Settle() {
    int32_t waitMs = 200;
    const auto properties = devices_.Properties(device_);
    if (properties.size() > 1) waitMs = std::max(1, std::atoi(hostkit::ToUtf8(properties[1].value).c_str()));
    std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
}

ParameterReading DriveLink::Read(int32_t parameter, int32_t type) {
    auto& variables = devices_.RunObject();
    const bool text = type == kTextType;
    variables.Declare(kNumber, 0.0f);
    variables.Declare(kText, std::u16string());
    const auto [status, statusWord] = Run("READ(" + std::to_string(parameter) + ",0," + std::to_string(type) + "," +
                                          hostkit::ToUtf8(text ? kText : kNumber) + ")");
    ParameterReading reading;
    if (status == 4.0) {
        reading.outcome = ParameterReading::Outcome::Refused;
        reading.reason = line_->Watch().TakeRefusal();
        reading.error = ErrorNumber(reading.reason);
        if (reading.error) reading.reason.erase(0, reading.reason.find(", ") + 2);  // the number has its column
        return reading;
    }
    if (status != 0.0) {
        reading.reason = FailureReason(status);
        return reading;
    }
    reading.outcome = ParameterReading::Outcome::Value;
    if (statusWord >= 0.0) reading.statusWord = static_cast<uint16_t>(statusWord);
    if (text) {
        reading.text = std::get<std::u16string>(*variables.Value(kText));
    } else {
        reading.raw = static_cast<int64_t>(std::llround(static_cast<double>(std::get<float>(*variables.Value(kNumber)))));
    }
    return reading;
}

WriteOutcome DriveLink::Write(int32_t parameter, int32_t type, int64_t raw, bool retentive) {
    const std::string text = "WRITE(" + std::to_string(parameter) + ",0," + std::to_string(type) + "," +
                             (retentive ? "1," : "0,") + std::to_string(raw) + ")";
    if (std::string problem = CheckCommandTexts({text}, CommandContext{}); !problem.empty()) return {false, problem};
    const double status = Run(text).first;
    if (status == 0.0) return {true, ""};
    if (status == 300.0) return {false, "the driver refused the text \"" + text + "\""};
    const std::string refusal = line_->Watch().TakeRefusal();
    return {false, refusal.empty() ? "no reply or a bad reply" : "the drive refused, " + refusal};
}

}  // namespace korvanhost
