#include "tools/korvan-sim/command_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>

namespace korvansim {
namespace {

// Applies an option's value; returns a problem, or "" when it fits.
using Apply = std::string (*)(CommandLine&, std::string_view);

struct OptionEntry {
    std::string_view name;
    bool takesValue;
    Apply apply;
};

std::optional<std::uint64_t> Unsigned(std::string_view text, std::uint64_t low, std::uint64_t high) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> Rate(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !(value >= 0.0 && value <= 1.0)) {
        return std::nullopt;
    }
    return value;
}

// Every number korvan-sim takes is a whole number within low..high; `what` names the range.
template <typename T>
std::string Store(std::string_view text, std::uint64_t low, std::uint64_t high, T& target, const char* what) {
    const std::optional<std::uint64_t> value = Unsigned(text, low, high);
    if (!value) {
        return "'" + std::string(text) + "' is not " + what;
    }
    target = static_cast<T>(*value);
    return "";
}

std::string StorePath(std::string_view text, std::string& target) {
    if (text.empty()) {
        return "the path is empty";
    }
    target = text;
    return "";
}

std::string Addresses(CommandLine& line, std::string_view text) {
    line.options.addresses.clear();
    while (true) {
        const std::size_t comma = text.find(',');
        std::uint8_t address = 0;
        if (std::string problem = Store(text.substr(0, comma), 1, 126, address, "an address 1..126"); !problem.empty()) {
            return problem;
        }
        if (std::find(line.options.addresses.begin(), line.options.addresses.end(), address) != line.options.addresses.end()) {
            return "address " + std::to_string(address) + " is given twice";
        }
        line.options.addresses.push_back(address);
        if (comma == std::string_view::npos) {
            return "";
        }
        text.remove_prefix(comma + 1);
    }
}

std::string Script(CommandLine& line, std::string_view text) {
    while (true) {
        const std::size_t comma = text.find(',');
        const std::optional<FaultKind> kind = ParseFaultName(text.substr(0, comma));
        if (!kind) {
            return "'" + std::string(text.substr(0, comma)) + "' is not a fault (none, drop, corrupt-bcc, late, split, noise, wrong-pnu, refuse, bitflip)";
        }
        line.script.push_back(*kind);
        if (comma == std::string_view::npos) {
            return "";
        }
        text.remove_prefix(comma + 1);
    }
}

template <FaultKind kind>
std::string FaultRate(CommandLine& line, std::string_view text) {
    const std::optional<double> rate = Rate(text);
    if (!rate) {
        return "'" + std::string(text) + "' is not a probability 0..1";
    }
    line.rates.emplace_back(kind, *rate);
    return "";
}

std::string Baud(CommandLine& line, std::string_view text) {
    const std::optional<std::uint64_t> baud = Unsigned(text, 1, 0xFFFFFFFFu);
    if (!baud || !IsSupportedBaud(static_cast<std::uint32_t>(*baud))) {
        return "'" + std::string(text) + "' is not one of 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200";
    }
    line.options.baud = static_cast<std::uint32_t>(*baud);
    return "";
}

std::string FramingOption(CommandLine& line, std::string_view text) {
    const std::optional<Framing> framing = ParseFraming(text);
    if (!framing) {
        return "'" + std::string(text) + "' is not 8E1, 8N1, 8N2 or 8O1";
    }
    line.options.framing = *framing;
    return "";
}

std::string Turnaround(CommandLine& line, std::string_view text) {
    std::int64_t ms = 0;
    const std::string problem = Store(text, 0, 20, ms, "a turnaround of 0..20 ms (the drive answers within 20 ms; use --late for slower replies)");
    line.options.turnaroundUs = ms * 1000;
    return problem;
}

constexpr std::array<OptionEntry, 28> kOptions = {{
    {"--help", false, [](CommandLine& l, std::string_view) { l.help = true; return std::string(); }},
    {"--version", false, [](CommandLine& l, std::string_view) { l.version = true; return std::string(); }},
    {"--pty", false, [](CommandLine& l, std::string_view) { l.usePty = true; return std::string(); }},
    {"--link", true, [](CommandLine& l, std::string_view v) { return StorePath(v, l.options.linkPath); }},
    {"--tty", true, [](CommandLine& l, std::string_view v) { return StorePath(v, l.ttyPath); }},
    {"--baud", true, Baud},
    {"--framing", true, FramingOption},
    {"--address", true, Addresses},
    {"--turnaround-ms", true, Turnaround},
    {"--no-pacing", false, [](CommandLine& l, std::string_view) { l.options.pacing = false; return std::string(); }},
    {"--deterministic", false, [](CommandLine& l, std::string_view) { l.options.deterministic = true; return std::string(); }},
    {"--step-ms", true, [](CommandLine& l, std::string_view v) {
         std::int64_t ms = 0;
         std::string problem = Store(v, 1, 60000, ms, "a step of 1..60000 ms");
         l.options.stepUs = ms * 1000;
         return problem;
     }},
    {"--params", true, [](CommandLine& l, std::string_view v) { return StorePath(v, l.options.parameterFile); }},
    {"--drop", true, FaultRate<FaultKind::Drop>},
    {"--corrupt-bcc", true, FaultRate<FaultKind::CorruptBcc>},
    {"--late", true, FaultRate<FaultKind::Late>},
    {"--split", true, FaultRate<FaultKind::Split>},
    {"--noise", true, FaultRate<FaultKind::Noise>},
    {"--wrong-pnu", true, FaultRate<FaultKind::WrongPnu>},
    {"--refuse", true, FaultRate<FaultKind::Refuse>},
    {"--bitflip", true, FaultRate<FaultKind::BitFlip>},
    {"--late-ms", true, [](CommandLine& l, std::string_view v) { return Store(v, 1, 60000, l.faultSettings.lateMs, "a delay of 1..60000 ms"); }},
    {"--refuse-error", true, [](CommandLine& l, std::string_view v) { return Store(v, 0, 65535, l.faultSettings.refuseError, "an error number 0..65535"); }},
    {"--bitflips", true, [](CommandLine& l, std::string_view v) { return Store(v, 1, 64, l.faultSettings.bitFlips, "a count of 1..64"); }},
    {"--script", true, Script},
    {"--seed", true, [](CommandLine& l, std::string_view v) { return Store(v, 0, 0xFFFFFFFFu, l.options.seed, "a seed 0..4294967295"); }},
    {"--trace", false, [](CommandLine& l, std::string_view) { l.trace = true; return std::string(); }},
    {"--wire-log", true, [](CommandLine& l, std::string_view v) { return StorePath(v, l.options.wireLogPath); }},
}};

const OptionEntry* FindOption(std::string_view name) {
    for (const OptionEntry& entry : kOptions) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

std::string CheckCombination(const CommandLine& line) {
    if (line.help || line.version) {
        return "";
    }
    if (line.usePty == !line.ttyPath.empty()) {
        return "give either --pty or --tty PATH";
    }
    if (!line.options.linkPath.empty() && !line.usePty) {
        return "--link needs --pty";
    }
    return "";
}

}  // namespace

Result<CommandLine> ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const OptionEntry* entry = FindOption(args[i]);
        if (entry == nullptr) {
            return Result<CommandLine>::Fail("unknown option '" + args[i] + "' (see --help)");
        }
        if (entry->takesValue && i + 1 >= args.size()) {
            return Result<CommandLine>::Fail(args[i] + " needs a value");
        }
        const std::string value = entry->takesValue ? args[++i] : std::string();
        if (const std::string problem = entry->apply(line, value); !problem.empty()) {
            return Result<CommandLine>::Fail(std::string(entry->name) + ": " + problem);
        }
    }
    if (const std::string problem = CheckCombination(line); !problem.empty()) {
        return Result<CommandLine>::Fail(problem);
    }
    return Result<CommandLine>::Ok(std::move(line));
}

std::string HelpText() {
    return R"(korvan-sim: a simulated Danfoss VLT 5000 answering FC-protocol telegrams.

Usage: korvan-sim --pty [--link PATH] [options]
       korvan-sim --tty PATH [options]

Line:
  --pty                 open a new pseudo-terminal and print its path
  --link PATH           also make PATH a symbolic link to it; a PATH that exists is taken
                        over only if it is a link an earlier korvan-sim left (to a closed
                        /dev/pts/N); removed at exit while it still points at this drive
  --tty PATH            use a serial port instead
  --baud N              300 600 1200 2400 4800 9600 19200 38400 57600 115200 (default 9600)
  --framing F           8E1, 8N1, 8N2 or 8O1 (default 8E1); on a pty, as on a real line,
                        a host at another speed or framing is not heard (a pty shows the
                        host's speed, stop bits and odd parity, not even parity from none)
  --address LIST        drive addresses 1..126, comma separated (default 1)
  --turnaround-ms MS    pause between a request and its reply, 0..20 (default 2 characters)
  --no-pacing           answer at once instead of at wire speed
  --deterministic       model time moves 10 ms per telegram received, not with the clock
  --step-ms MS          that step (default 10)
  --params FILE         parameter data file (default: vlt5000-parameters.csv in
                        ../share/korvan/ beside the program's folder, or the source tree's)

Faults on replies (RATE is a probability 0..1 per reply):
  --drop RATE           send nothing
  --corrupt-bcc RATE    send a wrong BCC
  --late RATE           send after --late-ms MS, 1..60000 (default 400)
  --split RATE          send in 3 pieces 15 ms apart
  --noise RATE          send 3 random bytes first
  --wrong-pnu RATE      answer for the next parameter number
  --refuse RATE         refuse with AK 7 and --refuse-error N (default 17)
  --bitflip RATE        flip --bitflips N random bits, 1..64 (default 1)
  --script LIST         faults for the next replies in order, before any rate:
                        none, drop, corrupt-bcc, late, split, noise, wrong-pnu, refuse, bitflip
  --seed N              seed of the fault generator (default 1)

Output:
  --trace               print every telegram in and out, decoded
  --wire-log FILE       write every byte in and out, in hex, to FILE
  --help                this text
  --version             the version of korvan-sim

Exit status:
  0  stopped by SIGINT or SIGTERM
  1  the line or its link could not be made, or the line failed while running
  2  a bad command line
)";
}

}  // namespace korvansim
