// scan: which drives answer on the line, at which address, baud rate and framing.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/command_session.h"
#include "tools/korvan-host/commissioning/commissioning.h"
#include "tools/korvan-host/commissioning/drive_link.h"
#include "tools/korvan-host/commissioning/drive_readout.h"
#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-sim/framing.h"

namespace korvanhost {
namespace {

constexpr int32_t kProbe = 1;          // language: every VLT5000 has it, a numeric 16-byte reply
constexpr int32_t kProbeType = 2;      // uint8
constexpr int32_t kUnitType = 621;
constexpr int32_t kSoftwareVersion = 624;
constexpr int32_t kTextType = 5;
constexpr uint64_t kTelegram = 16;     // a parameter request and its reply
constexpr uint64_t kTextReply = 30;    // the longest nameplate text reply the driver waits for
constexpr double kAnswerMs = 20.0;     // the drive answers within 20 ms of the request's end,
constexpr uint64_t kPause = 2;         // … after a pause of two characters at least
constexpr double kSlackMs = 10.0;      // an adapter's latency, the driver's 10 ms polls

const std::vector<uint32_t> kDriveBauds = {9600, 4800, 2400, 1200, 600, 300};

// What the driver waits for a reply of `replyBytes`: the request's and the reply's
// wire time, the drive's 20 ms (two characters where they take longer, below 1200
// baud), and a little slack.
int32_t WaitMs(uint32_t baud, const std::string& framing, uint64_t replyBytes) {
    const auto parsed = korvansim::ParseFraming(framing);
    const auto ms = [&](uint64_t characters) {
        return static_cast<double>(korvansim::WireNanoseconds(baud, *parsed, characters)) / 1e6;
    };
    return static_cast<int32_t>(std::ceil(ms(kTelegram + replyBytes) + std::max(kAnswerMs, ms(kPause)) + kSlackMs));
}

// Points the scan's device at `address` with the wait time `waitMs`.
void Aim(HostDevices& devices, uint8_t address, int32_t waitMs) {
    std::vector<Property> properties = devices.Properties(0);
    properties.at(0).value = hostkit::FromUtf8(std::to_string(address));
    properties.at(1).value = hostkit::FromUtf8(std::to_string(waitMs));
    devices.SetProperties(0, properties);
}

struct Found {
    uint8_t address = 0;
    uint32_t baud = 0;
    std::string framing;
    std::string unitType;
    std::string softwareVersion;

    std::string Line() const {
        return "found: address " + std::to_string(address) + "  " + std::to_string(baud) + " baud " + framing +
               "  unit type " + unitType + "  software " + softwareVersion;
    }
};

std::string TextOrWhy(DriveLink& link, int32_t parameter) {
    const ParameterReading reading = link.Read(parameter, kTextType);
    if (reading.outcome == ParameterReading::Outcome::Value) return Trimmed(reading.text);
    return "unknown (" + (reading.reason.empty() ? std::string("refused") : reading.reason) + ")";
}

class Scanner {
public:
    Scanner(const Options& options, HostDevices& devices)
        : options_(options), devices_(devices),
          bauds_(options.bauds.empty() ? kDriveBauds : options.bauds),
          framings_(options.framings.empty() ? std::vector<std::string>{"8E1"} : options.framings),
          addresses_(options.addresses),
          progress_(ProgressShown(options), bauds_.size() * framings_.size() * AddressCount()) {
        if (addresses_.empty()) {
            for (uint8_t address = 1; address <= 31; ++address) addresses_.push_back(address);
        }
    }

    // Every try, or until Ctrl-C; with the default baud rates, up to the first at
    // which a drive answered. kDone, or a host error's exit status after Fail.
    int Run() {
        for (uint32_t baud : bauds_) {
            for (const std::string& framing : framings_) {
                if (Interrupted()) return kDone;
                if (const int status = Try(baud, framing); status != kDone) return status;
            }
            if (!found_.empty() && options_.bauds.empty() && baud != bauds_.back()) {
                progress_.Print("drives on one line share its baud rate: slower ones not tried (--bauds tries them)");
                return kDone;
            }
        }
        return kDone;
    }

    const std::vector<Found>& FoundDrives() const { return found_; }
    std::size_t Tries() const { return tries_; }

private:
    std::size_t AddressCount() const { return options_.addresses.empty() ? 31 : options_.addresses.size(); }

    // Whether a drive at `address` answers the probe, twice: a reply that came for the
    // address before, later than the wait, is not taken for this address's.
    bool Answers(DriveLink& link, uint8_t address) {
        if (link.Read(kProbe, kProbeType).outcome == ParameterReading::Outcome::Failed) return false;
        link.Settle();
        if (link.Read(kProbe, kProbeType).outcome != ParameterReading::Outcome::Failed) return true;
        progress_.Print("a reply came at address " + std::to_string(address) +
                        " but not again: a drive answering later than 20 ms, at the address before?");
        return false;
    }

    int Try(uint32_t baud, const std::string& framing) {
        Options at = options_;
        at.baud = baud;
        at.framing = framing;
        std::string error;
        auto link = DriveLink::Open(at, devices_, 0, error);
        if (!link) return Fail(error);
        const auto start = std::chrono::steady_clock::now();
        std::size_t answered = 0, tried = 0;
        for (uint8_t address : addresses_) {
            if (Interrupted()) break;
            ++tried;
            progress_.Advance(tries_, std::to_string(baud) + " " + framing + " address " + std::to_string(address));
            ++tries_;
            Aim(devices_, address, WaitMs(baud, framing, kTelegram));
            if (!Answers(*link, address)) continue;
            Aim(devices_, address, WaitMs(baud, framing, kTextReply));
            found_.push_back({address, baud, framing, TextOrWhy(*link, kUnitType), TextOrWhy(*link, kSoftwareVersion)});
            progress_.Print(found_.back().Line());
            ++answered;
        }
        progress_.Advance(tries_);
        if (!ProgressShown(options_)) {
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            char line[120];
            std::snprintf(line, sizeof line, "%u baud %s: %zu addresses tried, %zu answered, %.1f s", baud,
                          framing.c_str(), tried, answered, seconds);
            PrintLine(line);
        }
        return kDone;
    }

    const Options& options_;
    HostDevices& devices_;
    std::vector<uint32_t> bauds_;
    std::vector<std::string> framings_;
    std::vector<uint8_t> addresses_;
    Progress progress_;
    std::vector<Found> found_;
    std::size_t tries_ = 0;
};

}  // namespace

int ScanLine(const Options& options) {
    if (options.sim) return Fail("scan looks for drives on a line: give --port", kBadCommandLine);
    if (!options.arguments.empty()) return Fail("scan takes no argument '" + options.arguments.front() + "'", kBadCommandLine);
    HostDevices devices(DriverPath(options), {"(scan)"}, ArchiveUse::Scratch);
    if (!devices.Error().empty()) return Fail(devices.Error());
    const auto start = std::chrono::steady_clock::now();
    Scanner scanner(options, devices);
    if (const int status = scanner.Run(); status != kDone) return status;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char summary[160];
    std::snprintf(summary, sizeof summary, "%zu drive%s found in %zu tries, %.1f s%s", scanner.FoundDrives().size(),
                  scanner.FoundDrives().size() == 1 ? "" : "s", scanner.Tries(), seconds,
                  Interrupted() ? " (interrupted)" : "");
    if (scanner.FoundDrives().empty()) {
        return Fail(std::string("no drive answered: ") + summary + " (check the wiring, A and B, and --bauds)",
                    kDriveFailed);
    }
    PrintLine(summary);
    return kDone;
}

}  // namespace korvanhost
