// korvan-soak: the built driver, loaded as a host loads it, against the simulated
// VLT5000 on a pseudo-terminal with faults injected at random, every collected value
// checked against what the drive sent. Exits with 1 when a value was stored wrongly
// where the protocol can detect the fault, or when the soak lost count of the replies.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/soak/soak_host.h"
#include "tests/soak/soak_line.h"
#include "tests/soak/soak_options.h"
#include "tests/soak/soak_report.h"
#include "tests/soak/soak_run.h"
#include "tools/hostkit/driver_library.h"

namespace {

using namespace korvansoak;

SoakSummary Summarize(const SoakOptions& options, SoakRun& run, SoakLine& line, double seconds) {
    SoakSummary summary;
    summary.collections = run.Collections();
    summary.commands = run.Commands();
    summary.exchanges = run.Exchanges();
    summary.seconds = seconds;
    summary.seed = options.seed;
    for (std::size_t kind = 1; kind < korvansim::kFaultKindCount; ++kind) {
        summary.injected[kind] = line.Drive().Faults().Count(static_cast<korvansim::FaultKind>(kind));
    }
    return summary;
}

int Soak(const SoakOptions& options) {
    SoakLine line(options);
    if (!line.Started()) {
        std::fprintf(stderr, "korvan-soak: %s\n", line.Error().c_str());
        return 2;
    }
    SoakHost host(options.driver.empty() ? hostkit::DriverPath(KORVAN_BUILT_DRIVER) : options.driver,
                  line.HostHandle());
    if (!host.Loaded()) {
        std::fprintf(stderr, "korvan-soak: cannot load the driver: %s\n", host.Error().c_str());
        return 2;
    }
    SoakRun run(options, line, host);
    const auto start = std::chrono::steady_clock::now();
    const bool counted = run.Run();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fputs(FormatReport(Summarize(options, run, line, seconds), run.Tally()).c_str(), stdout);
    if (!counted) std::printf("the soak lost count of the replies: %s\n", run.Problem().c_str());
    return counted && run.Tally().WrongWhereDetectable() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const std::optional<SoakOptions> options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fputs(error.c_str(), stderr);
        return error.rfind("korvan-soak", 0) == 0 ? 0 : 2;
    }
    return Soak(*options);
}
