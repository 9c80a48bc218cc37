// The command line of korvan-sim.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/korvan-sim/fault_injector.h"
#include "tools/korvan-sim/result.h"
#include "tools/korvan-sim/simulator.h"

namespace korvansim {

struct CommandLine {
    Options options;
    FaultSettings faultSettings;
    std::vector<std::pair<FaultKind, double>> rates;
    std::vector<FaultKind> script;
    bool usePty = false;
    std::string ttyPath;
    bool trace = false;
    bool help = false;
    bool version = false;
};

// `args` without the program name; the error is one line.
Result<CommandLine> ParseCommandLine(const std::vector<std::string>& args);
std::string HelpText();

}  // namespace korvansim
