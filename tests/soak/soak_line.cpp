#include "tests/soak/soak_line.h"

#include "tools/hostkit/raw_line.h"

namespace korvansoak {
namespace {

constexpr uint32_t kFlippedBits = 2;  // pairs: what the XOR check can miss

korvansim::Options DriveOptions(const SoakOptions& options) {
    korvansim::Options drive;
    drive.addresses = {1};
    drive.pacing = false;       // answers at once: no wire time on a pty
    drive.deterministic = true; // model time moves 10 ms per telegram
    drive.seed = options.seed;
    return drive;
}

}  // namespace

SoakLine::SoakLine(const SoakOptions& options)
    : options_(options), drive_(std::make_unique<korvansim::Simulator>(DriveOptions(options))) {
    const std::string path = drive_->StartOnPty();
    if (path.empty()) {
        error_ = "cannot start the simulated drive: " + drive_->Error();
        return;
    }
    hostEnd_ = korvansim::UniqueFd(hostkit::OpenRawLine(path));
    if (!hostEnd_.Valid()) {
        error_ = "cannot open " + path;
        return;
    }
    korvansim::FaultSettings faults = drive_->Faults().Settings();
    faults.lateMs = options.lateMs;
    faults.bitFlips = kFlippedBits;
    drive_->Faults().SetSettings(faults);
}

SoakLine::~SoakLine() {
    hostEnd_ = korvansim::UniqueFd();
    drive_->Stop();
}

void SoakLine::SetNoiseBytes(uint32_t bytes) {
    korvansim::FaultSettings faults = drive_->Faults().Settings();
    faults.noiseBytes = bytes;
    drive_->Faults().SetSettings(faults);
}

void SoakLine::Calm() {
    for (std::size_t kind = 1; kind < korvansim::kFaultKindCount; ++kind) {
        drive_->Faults().SetRate(static_cast<korvansim::FaultKind>(kind), 0.0);
    }
}

void SoakLine::Stir() {
    for (std::size_t kind = 1; kind < korvansim::kFaultKindCount; ++kind) {
        drive_->Faults().SetRate(static_cast<korvansim::FaultKind>(kind), options_.rates[kind]);
    }
}

}  // namespace korvansoak
