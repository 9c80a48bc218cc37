#include "tests/soak/soak_options.h"

#include <cstdlib>

namespace korvansoak {
namespace {

using korvansim::FaultKind;

constexpr const char* kUsage =
    "korvan-soak [options]: the built driver against a simulated VLT5000 on a pty, with faults\n"
    "  --calls N          collection calls (20000)\n"
    "  --commands N       device commands (2000)\n"
    "  --seed N           seed of the steps and of the faults (1)\n"
    "  --rate KIND=P      probability per reply of a fault kind: drop, corrupt-bcc, late, split,\n"
    "                     noise, wrong-pnu, refuse, bitflip\n"
    "  --late-ms N        delay of a late reply (300; the driver waits 200 ms)\n"
    "  --restart-every N  steps between leaving and entering the run (500)\n"
    "  --examples N       wrong values described in full (10)\n"
    "  --driver PATH      the driver module ($KORVAN_DRIVER, or the one built beside this program)\n"
    "  --quiet            no progress lines\n";

// Decimal digits only (no sign, no white space), up to 2^32 - 1.
std::optional<uint32_t> Count(const std::string& text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<uint32_t>(value);
}

bool SetRate(SoakOptions& options, const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) return false;
    const std::optional<FaultKind> kind = korvansim::ParseFaultName(text.substr(0, equals));
    char* end = nullptr;
    const double rate = std::strtod(text.c_str() + equals + 1, &end);
    if (!kind || *kind == FaultKind::None || *end != '\0' || !(rate >= 0.0 && rate <= 1.0)) return false;
    options.rates[static_cast<std::size_t>(*kind)] = rate;
    return true;
}

uint32_t* CountOption(SoakOptions& options, const std::string& name) {
    if (name == "--calls") return &options.calls;
    if (name == "--commands") return &options.commands;
    if (name == "--seed") return &options.seed;
    if (name == "--late-ms") return &options.lateMs;
    if (name == "--restart-every") return &options.restartEvery;
    if (name == "--examples") return &options.examples;
    return nullptr;
}

bool Apply(SoakOptions& options, const std::string& name, const std::string& value) {
    if (name == "--driver") {
        options.driver = value;
        return true;
    }
    if (name == "--rate") return SetRate(options, value);
    uint32_t* target = CountOption(options, name);
    const std::optional<uint32_t> number = Count(value);
    if (target == nullptr || !number || (target == &options.restartEvery && *number == 0)) return false;
    *target = *number;
    return true;
}

}  // namespace

SoakOptions DefaultOptions() {
    SoakOptions options;
    const auto set = [&options](FaultKind kind, double rate) { options.rates[static_cast<std::size_t>(kind)] = rate; };
    set(FaultKind::Drop, 0.01);
    set(FaultKind::CorruptBcc, 0.02);
    set(FaultKind::Late, 0.004);
    set(FaultKind::Split, 0.02);
    set(FaultKind::Noise, 0.02);
    set(FaultKind::WrongPnu, 0.02);
    set(FaultKind::Refuse, 0.02);
    set(FaultKind::BitFlip, 0.03);
    return options;
}

std::optional<SoakOptions> ParseOptions(const std::vector<std::string>& arguments, std::string& error) {
    SoakOptions options = DefaultOptions();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--quiet") {
            options.progress = false;
            continue;
        }
        if (name == "--help" || i + 1 == arguments.size()) {
            error = name == "--help" ? kUsage : name + " needs a value\n" + kUsage;
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        if (!Apply(options, name, value)) {
            error = "cannot use " + name + " " + value + "\n" + kUsage;
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace korvansoak
