// Writes down everything a host can observe of the driver, in a text form that two
// builds must produce byte for byte alike.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "korvan/host_abi.h"
#include "tools/hostkit/driver_library.h"
#include "tools/hostkit/host_device.h"

namespace transcript {

class Transcript {
public:
    void Section(const std::string& title);
    void Line(const std::string& text);
    std::string Str() const { return out_.str(); }

private:
    std::ostringstream out_;
};

std::string Show(const HostIntArray& array);
std::string Show(const HostByteArray& array);
std::string Show(const HostDoubleArray& array);
std::string Show(const HostStringArray& array);
std::string Show(const HostString& string);
std::string Show(double value);
std::string Hex(const std::vector<uint8_t>& bytes);
// The archive: its size, position, mode, and its bytes up to the last nonzero one.
std::string ShowArchive(const ConfigArchive& archive);

// One scripted session: the loaded driver and the transcript it writes.
struct Session {
    const hostkit::EntryPoints& svr;
    Transcript& out;
};

void PlayEntryPoints(Session& session);
void PlayConfiguration(Session& session);
void PlayDriveLink(Session& session);

}  // namespace transcript
