// What a soak run does: how many collection calls and device commands, the fault
// rates on the simulated line, and where the driver is.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/korvan-sim/fault_injector.h"

namespace korvansoak {

struct SoakOptions {
    uint32_t calls = 20000;
    uint32_t commands = 2000;
    uint32_t seed = 1;
    uint32_t lateMs = 300;       // past the driver's 200 ms wait
    uint32_t restartEvery = 500; // steps between SvrExitDevRun and SvrInitDevRun
    uint32_t examples = 10;      // wrong values described in full
    bool progress = true;
    std::string driver;
    // Per reply, in the injector's order (the first kind that hits wins).
    std::array<double, korvansim::kFaultKindCount> rates{};
};

SoakOptions DefaultOptions();
// nullopt (with `error` set) for an unknown option or a bad number; --help sets `error`
// to the usage text.
std::optional<SoakOptions> ParseOptions(const std::vector<std::string>& arguments, std::string& error);

}  // namespace korvansoak
