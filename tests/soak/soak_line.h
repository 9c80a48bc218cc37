// The simulated VLT5000 on a pseudo-terminal with the soak's faults, and the host's
// end of the line opened raw for the driver.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tests/soak/soak_options.h"
#include "tools/korvan-sim/serial_port.h"
#include "tools/korvan-sim/simulator.h"

namespace korvansoak {

class SoakLine {
public:
    explicit SoakLine(const SoakOptions& options);
    ~SoakLine();
    SoakLine(const SoakLine&) = delete;
    SoakLine& operator=(const SoakLine&) = delete;

    bool Started() const { return hostEnd_.Valid(); }
    const std::string& Error() const { return error_; }
    int32_t HostHandle() const { return hostEnd_.Get(); }
    korvansim::Simulator& Drive() { return *drive_; }
    // Noise faults send this many bytes ahead of the reply from now on.
    void SetNoiseBytes(uint32_t bytes);
    // Stops injecting faults (for the steps that set the scene).
    void Calm();
    // Injects at the options' rates again.
    void Stir();

private:
    const SoakOptions& options_;
    std::unique_ptr<korvansim::Simulator> drive_;
    korvansim::UniqueFd hostEnd_;
    std::string error_;
};

}  // namespace korvansoak
