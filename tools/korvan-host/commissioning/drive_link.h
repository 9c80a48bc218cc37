// A device of the session on an open line, asked as a host asks: a command text
// through SvrDevIOCtrl, the answer in a host variable, the drive's reason for a
// refusal from the tap. Scan, backup, diff and restore reach the drive only here.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "tools/korvan-host/line/host_line.h"
#include "tools/korvan-host/host_session.h"
#include "tools/korvan-host/options.h"

namespace korvanhost {

struct ParameterReading {
    enum class Outcome { Value, Refused, Failed };
    Outcome outcome = Outcome::Failed;
    int64_t raw = 0;                  // a numeric parameter's integer (conversion index 0)
    std::u16string text;              // a text parameter's
    std::optional<int32_t> error;     // a refusal's error number, as the drive sent it
    std::string reason;               // why it was refused or failed, in words
    std::optional<uint16_t> statusWord;  // from the reply of a value
};

struct WriteOutcome {
    bool written = false;
    std::string problem;  // why not: the drive's reason, no reply, or what the checks found
};

class DriveLink {
public:
    // Opens the line the options name (their baud rate and framing) for device
    // `device` of `devices`, whose archives it leaves to others (nothing here changes
    // them); nullptr with `error` saying why.
    static std::unique_ptr<DriveLink> Open(const Options& options, HostDevices& devices, std::size_t device,
                                           std::string& error);
    DriveLink(const DriveLink&) = delete;
    DriveLink& operator=(const DriveLink&) = delete;

    // READ(P,0,T,X): the raw value, so that nothing is lost to scaling.
    ParameterReading Read(int32_t parameter, int32_t type);
    // WRITE(P,0,T,S,raw) with S = 1 when `retentive`, checked as exec checks a text
    // first; the control word sent with it is 0, which the drive ignores (bit 10).
    WriteOutcome Write(int32_t parameter, int32_t type, int64_t raw, bool retentive);
    // Lets a late reply arrive for one wait time; the driver drops it before its next
    // request, whose reply then starts clean.
    void Settle();
    // True once the line has hung up or gone.
    bool Gone() const { return line_->Gone(); }

private:
    DriveLink(HostDevices& devices, std::size_t device, std::unique_ptr<HostLine> line);
    // Runs one command text: element 0 and element 2 (the status word) of the results.
    std::pair<double, double> Run(const std::string& text);

    HostDevices& devices_;
    std::size_t device_;
    std::unique_ptr<HostLine> line_;
};

}  // namespace korvanhost
