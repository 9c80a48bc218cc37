// korvan-sim: a simulated VLT 5000 on a pseudo-terminal or a serial port.
#include <signal.h>
#include <time.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "tools/korvan-sim/command_line.h"
#include "tools/korvan-sim/simulator.h"

namespace {

using korvansim::CommandLine;
using korvansim::FaultKind;
using korvansim::Simulator;

int Usage(const std::string& error) {
    std::cerr << "korvan-sim: " << error << '\n';
    return 2;
}

void Configure(Simulator& simulator, const CommandLine& line) {
    korvansim::FaultInjector& faults = simulator.Faults();
    faults.SetSettings(line.faultSettings);
    for (const auto& [kind, rate] : line.rates) {
        faults.SetRate(kind, rate);
    }
    faults.Script(line.script);
}

// Blocks SIGINT and SIGTERM (the line's thread inherits the mask) and waits for one, or for
// the line to fail. True on a signal.
bool WaitForSignal(const Simulator& simulator, sigset_t& signals) {
    const timespec poll{0, 200000000};
    while (simulator.Running()) {
        if (sigtimedwait(&signals, nullptr, &poll) > 0) {
            return true;
        }
    }
    return false;
}

void PrintCounts(Simulator& simulator) {
    std::string counts;
    for (std::size_t i = 1; i < korvansim::kFaultKindCount; ++i) {
        const auto kind = static_cast<FaultKind>(i);
        if (const std::uint64_t count = simulator.Faults().Count(kind); count != 0) {
            counts += " " + std::string(korvansim::FaultName(kind)) + "=" + std::to_string(count);
        }
    }
    if (!counts.empty()) {
        std::cerr << "korvan-sim: faults injected:" << counts << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    korvansim::Result<CommandLine> line = korvansim::ParseCommandLine(args);
    if (!line) {
        return Usage(line.Error());
    }
    if (line->help) {
        std::cout << korvansim::HelpText();
        return 0;
    }
    if (line->version) {
        std::cout << "korvan-sim " KORVAN_VERSION "\n";
        return 0;
    }
    if (line->trace) {
        line->options.trace = [](const std::string& text) { std::cout << text << std::endl; };
    }
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    Simulator simulator(line->options);
    Configure(simulator, *line);
    const std::string path = line->usePty ? simulator.StartOnPty() : (simulator.StartOnTty(line->ttyPath) ? line->ttyPath : "");
    if (path.empty()) {
        std::cerr << "korvan-sim: " << simulator.Error() << '\n';
        return 1;
    }
    std::cout << path << std::endl;
    const bool signalled = WaitForSignal(simulator, signals);
    simulator.Stop();
    PrintCounts(simulator);
    if (!signalled) {
        std::cerr << "korvan-sim: " << simulator.Error() << '\n';
        return 1;
    }
    return 0;
}
