#include "tools/korvan-host/options.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <cstring>
#include <optional>
#include <string_view>

#include "tools/hostkit/utf8.h"
#include "tools/korvan-host/commissioning/scan_lists.h"
#include "tools/korvan-host/host_system.h"
#include "tools/korvan-sim/framing.h"

namespace korvanhost {
namespace {

using Error = std::string;

template <class Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    int base = 10;
    if constexpr (std::is_integral_v<Number>) {
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            text.remove_prefix(2);
            base = 16;
        }
    }
    std::from_chars_result result{};
    if constexpr (std::is_integral_v<Number>) result = std::from_chars(text.data(), text.data() + text.size(), value, base);
    else result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

// NAME:int=5, NAME:float=1.5, NAME:text=abc
std::variant<Variable, Error> ParseVariable(std::string_view text) {
    const std::size_t colon = text.find(':');
    const std::size_t equals = text.find('=', colon == std::string_view::npos ? 0 : colon);
    if (colon == std::string_view::npos || equals == std::string_view::npos || colon == 0) {
        return Error("a variable is NAME:int=VALUE, NAME:float=VALUE or NAME:text=VALUE, not '" + std::string(text) + "'");
    }
    const std::string_view type = text.substr(colon + 1, equals - colon - 1);
    const std::string_view value = text.substr(equals + 1);
    Variable variable{hostkit::FromUtf8(text.substr(0, colon)), {}};
    if (type == "text") {
        variable.value = hostkit::FromUtf8(value);
    } else if (type == "int") {
        const auto number = ParseNumber<int32_t>(value);
        if (!number) return Error("not an integer: '" + std::string(value) + "'");
        variable.value = *number;
    } else if (type == "float") {
        const auto number = ParseNumber<float>(value);
        if (!number) return Error("not a number: '" + std::string(value) + "'");
        variable.value = *number;
    } else {
        return Error("unknown variable type '" + std::string(type) + "' (int, float or text)");
    }
    return variable;
}

bool IsCommand(std::string_view word) {
    for (const char* command : {"init", "props", "set", "channels", "add", "remove", "params", "edit", "run", "exec",
                                "scan", "backup", "diff", "restore", "demo", "help"}) {
        if (word == command) return true;
    }
    return false;
}

// Commissioning commands that talk to the drive: diff of two backups does not.
bool NeedsDrive(const Options& options) {
    const std::string& command = options.command;
    return command == "scan" || command == "backup" || command == "restore" ||
           (command == "diff" && options.arguments.size() < 2);
}

// "-1" is an argument (add -1 is a parameter number the command refuses), not an option.
bool IsNegativeNumber(std::string_view word) {
    return word.size() > 1 && word[0] == '-' && word.find_first_not_of("0123456789.", 1) == std::string_view::npos;
}

// The same file named twice, however it is spelt.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    const auto resolved = [&error](const std::string& path) {
        return std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error).lexically_normal();
    };
    return resolved(a) == resolved(b);
}

// Commands whose arguments another part of the program reads.
bool TakesOwnArguments(const std::string& command) {
    return command == "add" || command == "remove" || command == "params" || command == "init" ||
           command == "backup" || command == "diff" || command == "restore";
}

class Parser {
public:
    Parser(int argc, char** argv) : argc_(argc), argv_(argv) {}

    std::variant<Options, Error> Parse() {
        for (index_ = 1; index_ < argc_; ++index_) {
            const std::string_view word = argv_[index_];
            if (word.size() > 1 && word[0] == '-' && !IsNegativeNumber(word)) {
                if (auto error = Option(word)) return *error;
            } else if (options_.command.empty()) {
                if (!IsCommand(word)) return Error("unknown command '" + std::string(word) + "' (see korvan-host help)");
                options_.command = word;
            } else {
                options_.arguments.emplace_back(word);
            }
        }
        return Finish();
    }

private:
    std::optional<Error> Option(std::string_view name) {
        if (name == "--sim") return options_.sim = true, std::nullopt;
        if (name == "--trace") return options_.trace = true, std::nullopt;
        if (name == "--json") return options_.json = true, std::nullopt;
        if (name == "--plain") return options_.plain = true, std::nullopt;
        if (name == "--force") return options_.force = true, std::nullopt;
        if (name == "--apply") return options_.apply = true, std::nullopt;
        if (name == "--volatile") return options_.volatileWrites = true, std::nullopt;
        if (name == "--help" || name == "-h") return options_.command = "help", std::nullopt;
        if (name == "--version") return options_.command = "version", std::nullopt;
        const char* value = Value();
        if (value == nullptr) return Error("option " + std::string(name) + " needs a value");
        if (name == "--driver") return options_.driver = value, std::nullopt;
        if (name == "--archive") return options_.archives.emplace_back(value), std::nullopt;
        if (name == "--port") return options_.port = value, std::nullopt;
        if (name == "--framing") return options_.framing = value, std::nullopt;
        if (name == "--var") return Variable(value);
        if (name == "--catalog") return options_.catalog = value, std::nullopt;
        if (name == "--bauds") return Listed(ParseBaudList(value, options_.bauds));
        if (name == "--framings") return Listed(ParseFramingList(value, options_.framings));
        if (name == "--addresses") return Listed(ParseAddressList(value, options_.addresses));
        if (name == "--baud") return Number(options_.baud, value, name);
        if (name == "--device") return Number(options_.device, value, name);
        if (name == "--count") return Number(options_.count, value, name);
        if (name == "--rate") return options_.rateGiven = true, Number(options_.rate, value, name);
        if (name == "--control") return ControlWord(value);
        if (name == "--reference") return Reference(value);
        return Error("unknown option " + std::string(name) + " (see korvan-host help)");
    }

    static std::optional<Error> Listed(const std::string& problem) {
        return problem.empty() ? std::nullopt : std::optional<Error>(problem);
    }

    const char* Value() { return index_ + 1 < argc_ ? argv_[++index_] : nullptr; }

    // Only the reference may be negative.
    template <class Target>
    std::optional<Error> Number(Target& target, const char* text, std::string_view name) {
        const auto number = ParseNumber<Target>(text);
        bool negative = false;
        if constexpr (std::is_signed_v<Target>) negative = number && *number < 0;
        if (!number || (negative && name != "--reference")) {
            return Error("option " + std::string(name) + " takes a number, not '" + text + "'");
        }
        target = *number;
        return std::nullopt;
    }

    // The driver sends the reference's integer part × 16384 in PCD2, 16 bits read as
    // signed by the drive: -2..1 is -200 % .. 100 % of the maximum reference; 2 would
    // go out as 0x8000, full reverse, and a fraction as its integer part.
    std::optional<Error> Reference(const char* text) {
        const auto number = ParseNumber<double>(text);
        if (!number || *number != std::trunc(*number) || *number < -2 || *number > 1) {
            return Error("--reference takes -2, -1, 0 or 1 (a whole multiple of the maximum reference; the driver "
                         "sends it × 16384 in 16 bits, so 2 would reach the drive as -2), not '" +
                         std::string(text) + "'");
        }
        options_.reference = static_cast<int32_t>(*number);
        return std::nullopt;
    }

    // The control word is 16 bits on the line: a larger one would lose its high bits.
    std::optional<Error> ControlWord(const char* text) {
        const auto number = ParseNumber<int32_t>(text);
        if (!number || *number < 0 || *number > 0xFFFF) {
            return Error("--control takes a 16-bit control word, 0..0xFFFF, not '" + std::string(text) + "'");
        }
        options_.controlWord = *number;
        return std::nullopt;
    }

    std::optional<Error> Variable(const char* text) {
        auto parsed = ParseVariable(text);
        if (auto* error = std::get_if<Error>(&parsed)) return *error;
        options_.variables.push_back(std::get<korvanhost::Variable>(std::move(parsed)));
        return std::nullopt;
    }

    std::variant<Options, Error> Finish() {
        if (options_.command.empty()) return Error("no command given (see korvan-host help)");
        if (options_.archives.empty()) options_.archives.emplace_back("korvan-device.archive");
        if (options_.device >= options_.archives.size()) return Error("--device is beyond the archives given");
        const bool needsLine = options_.command == "run" || options_.command == "exec" || NeedsDrive(options_);
        const std::string noSimulator = NoSimulatedDrive();
        if (options_.sim && !noSimulator.empty()) return Error("--sim: " + noSimulator);
        if (needsLine && options_.port.empty() && !options_.sim) {
            return Error(noSimulator.empty() ? "no line: give --port TTY or --sim" : "no line: give --port COMn");
        }
        if (!options_.port.empty() && options_.sim) return Error("give either --port or --sim, not both");
        if (options_.command == "exec" && options_.arguments.empty()) return Error("exec needs a command text");
        if (auto error = Values()) return *error;
        if (options_.command == "set" && options_.arguments.empty()) return Error("set needs NAME=VALUE");
        const bool takesArguments = options_.command == "set" || options_.command == "exec";
        if (!takesArguments && !options_.arguments.empty() && !TakesOwnArguments(options_.command)) {
            return Error(options_.command + " takes no argument '" + options_.arguments.front() + "'");
        }
        return options_;
    }

    // Option values that could never work: one rule for all, a bad command line.
    std::optional<Error> Values() const {
        if (!korvansim::ParseFraming(options_.framing)) {
            return Error("unknown framing '" + options_.framing + "' (8E1, 8N1, 8N2 or 8O1)");
        }
        if (!korvansim::IsSupportedBaud(options_.baud)) {
            return Error("baud rate " + std::to_string(options_.baud) + " is not one the drive offers (see parameter 501)");
        }
        if (options_.count == 0) return Error("--count takes a number of rounds from 1");
        if (!(options_.rate >= 0.0) || std::isinf(options_.rate) || (options_.rateGiven && options_.rate == 0.0)) {
            return Error("--rate takes rounds per second above 0");
        }
        for (std::size_t a = 0; a < options_.archives.size(); ++a) {
            for (std::size_t b = a + 1; b < options_.archives.size(); ++b) {
                if (SameFile(options_.archives[a], options_.archives[b])) {
                    return Error("archive " + options_.archives[b] + " is given twice: two devices cannot answer one address");
                }
            }
        }
        return std::nullopt;
    }

    int argc_;
    char** argv_;
    int index_ = 1;
    Options options_;
};

}  // namespace

std::variant<Options, std::string> ParseOptions(int argc, char** argv) { return Parser(argc, argv).Parse(); }

const char* Usage() {
    return R"USAGE(korvan-host: a stand-in HMI host for the Korvan VLT5000 driver.

usage: korvan-host [options] COMMAND [arguments]

Commands:
  init                  make a new archive (--archive FILE) holding the driver's
                        default configuration; every other command needs one
  props                 show the device properties: 设备地址 (device address, 1..31)
                        and 通讯等待时间 (communication wait time, ms)
  set NAME=VALUE...     set device properties (address=, wait= or the property names);
                        a value that cannot work on the line is stored only with --force
  channels              list the channels: host channel number, name, parameter,
                        data type, conversion index and factor, access, retain
                        (the numbers move when a channel is added before them)
  add PNU [FIELD=V...]   add a parameter channel; the VLT5000 catalog gives its name,
                        type, conversion and access, and name=TEXT, type=int16|int32|
                        uint8|uint16|uint32|text, conversion=74|2|1|0|-1|-2|-3|-4,
                        access=ro|wo|rw and retain=0|1 change them (a number not in
                        the catalog needs name, type, conversion and access)
  remove PNU            remove the parameter channel of parameter PNU
  remove channel=K      remove host channel K (see channels; 1 to 4 stay)
  params [WORD]         list the catalog's parameters, or those whose number, English or
                        Chinese name holds WORD (none found: exit status 1)
  edit                  open the channel property dialog (on Linux it needs a display
                        and the dialog module Korvan.gtk.so beside the driver); says
                        whether it saved, or was cancelled
  run                   collect channel values from the drive(s) on the line
  exec TEXT...          run device commands, e.g. "READ(518,-1,3,F)" --var F:float=0
  scan                  find the drives on the line (--port): each address at each
                        baud rate and framing, with its unit type and software version
  backup FILE           read every parameter of the catalog from the drive into FILE
                        (CSV); an existing FILE is replaced only with --force
  diff FILE [FILE2]     what differs between the drive and a backup, or two backups
  restore FILE          what differs from the backup in the writable parameters;
                        --apply writes each, kept over power-off, and reads it back
  demo                  the guided demonstration on a simulated drive (Linux only)
  help                  this text

Options:
  --driver PATH         the driver module (default: Korvan.drv, Korvan_ARMV4.drv on ARM,
                        beside korvan-host, else in ../lib/korvan/ beside its folder)
  --archive FILE        a device's configuration archive; repeat for several devices
                        on one line (default: korvan-device.archive)
  --device N            the device (0 = the first --archive) that props, set,
                        channels, edit and exec act on
  --port TTY            the serial line, e.g. /dev/ttyUSB0, or COM3 on Windows
  --baud N              baud rate (default 9600)
  --framing F           8E1 (default), 8N1, 8N2 or 8O1
  --sim                 start a simulated VLT5000 on a pseudo-terminal instead
                        (Linux only)
  --trace               show every telegram on the line, both directions (on
                        Windows: every one the driver writes and reads)
  --count N             run: stop after N collection rounds
  --rate HZ             run: rounds per second (default: as fast as the line allows)
  --json                run: one JSON object per collection round; exec, props,
                        channels and params: their output as JSON
  --force               store a property value, save over a damaged archive, or
                        replace a backup file (kept as FILE.bak) though a check warns
  --plain               plain lines even on a terminal
  --catalog FILE        rows added to the parameter catalog, or in place of its own,
                        in its CSV format (params, add, backup, restore)
  --bauds LIST          scan: baud rates to try (default 9600,4800,2400,1200,600,300,
                        stopping after the first at which a drive answers)
  --framings LIST       scan: framings to try (default 8E1)
  --addresses LIST      scan: addresses to try, e.g. 3,7,10-12 (default 1-31)
  --apply               restore: write what differs (without it nothing is written)
  --volatile            restore: write to RAM only, not kept over power-off
  --var NAME:TYPE=VALUE exec: a host variable (TYPE int, float or text)
  --control WORD        exec: the control word in results element 3, 0..0xFFFF
                        (e.g. 0x047C)
  --reference N         exec: the reference in results element 4, a whole multiple
                        of the drive's maximum reference: -2, -1, 0 or 1
  --help, -h            this text (as the command help)
  --version             the version of korvan-host

Command texts (exec), several in one text run last first:
  READ(P,F,T,X)         read parameter P into host variable X
  WRITE(P,F,T,S,V)      write V to parameter P; S=1 also keeps it over power-off
  ZELK_WRITE(k=v)       write v to host channel k (see channels); channels 3 and 4
                        send the control word and reference (--control, --reference)
  P parameter number 0..4095; F conversion index: the value is scaled by 10^F
  (74 means 0.1); T data type: 0 int16, 1 int32, 2 uint8, 3 uint16, 4 uint32,
  5 text. Any argument of READ and WRITE may name a host variable (--var)
  instead of a number. Nothing is sent for a text with a mistake: an argument
  that is neither a number nor a --var, a WRITE value that its type cannot hold
  after scaling, a conversion index the drive does not know, a save flag other
  than 0 or 1, a ZELK_WRITE to a channel that does not exist or is read only, or
  a second ZELK_WRITE to channel 3 or 4 (the control word goes once per device).

Exit status:
  0  everything asked was done
  1  an error of the host itself: driver, archive, port, or a line that went away
  2  a bad command line or command text (nothing of it was sent)
  3  the drive could not be reached or refused, or a command failed; scan found no
     drive, diff found a difference, restore left a parameter unwritten

Configuration changes are saved to the archive atomically, through a symlink to
the file it names, keeping the file's mode and owner; the file replaced is kept as
FILE.bak. One program at a time changes an archive; a second waits up to 2 s,
then names the process that holds it. A file that is not a Korvan archive is
refused and never written. A
damaged archive, one the driver reads only in part, is refused; with --force the
command goes on with what was read and saves over it. Archives of the old format
(the driver's bytes alone) are converted when next saved. Ctrl-C (SIGTERM,
SIGHUP) ends a run cleanly after the exchange in progress: the device is
released, the archive saved, the line closed; a second Ctrl-C leaves at once.
)USAGE";
}

}  // namespace korvanhost
