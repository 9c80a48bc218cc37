// The host's side of the soak: the built driver loaded as a host loads it, one device
// on the simulated line configured from the soak's plan, the run-time automation
// object with a variable of every type, and the host arrays of each call, filled with
// markers beforehand so that whatever the driver stores shows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/hostkit/driver_library.h"
#include "tools/hostkit/host_automation.h"
#include "tools/hostkit/host_device.h"

namespace korvansoak {

inline constexpr double kUntouched = -123456789.25;
inline constexpr std::u16string_view kUntouchedText = u"†";

struct Collected {
    int32_t returned = 0;
    std::vector<double> values;
    std::vector<std::u16string> texts;
};

class SoakHost {
public:
    SoakHost(const std::string& driverPath, int32_t portHandle);
    ~SoakHost();
    SoakHost(const SoakHost&) = delete;
    SoakHost& operator=(const SoakHost&) = delete;

    bool Loaded() const { return library_->Loaded(); }
    const std::string& Error() const { return library_->Error(); }
    int32_t HostChannels() const { return hostChannels_; }
    hostkit::HostAutomationObject& Variables() { return *variables_; }

    // SvrInitDevSet and SvrInitDevRun.
    void Start();
    // SvrExitDevRun, then SvrInitDevRun: the state is loaded again from the archive.
    void Restart();
    // One SvrCollectDevData wanting host channel `wanted` alone (0: none).
    Collected Collect(int32_t wanted);
    // One SvrDevIOCtrl; the results array after it, element 3 and 4 having carried the
    // control word and the reference, the others the marker.
    std::vector<double> Command(const std::u16string& text, double controlWord, double reference);

private:
    std::unique_ptr<hostkit::HostAutomationObject> variables_;  // outlives the module
    std::unique_ptr<hostkit::DriverLibrary> library_;
    hostkit::HostDevice device_;
    int32_t hostChannels_ = 0;
};

}  // namespace korvansoak
