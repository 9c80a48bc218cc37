#include "tools/korvan-host/line/command_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <variant>

#include "tools/hostkit/utf8.h"

namespace korvanhost {
namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    return upper;
}

std::vector<std::string_view> SplitArguments(std::string_view text) {
    std::vector<std::string_view> arguments;
    for (std::size_t at; (at = text.find(',')) != std::string_view::npos; text.remove_prefix(at + 1)) {
        arguments.push_back(Trim(text.substr(0, at)));
    }
    arguments.push_back(Trim(text));
    return arguments;
}

// As the driver reads a literal: an optional minus sign, digits, at most one point.
bool IsNumberText(std::string_view text) {
    if (!text.empty() && text.front() == '-') text.remove_prefix(1);
    const auto digits = std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    const auto points = std::count(text.begin(), text.end(), '.');
    return digits > 0 && points <= 1 && static_cast<std::size_t>(digits + points) == text.size();
}

// A number text (IsNumberText) in single precision, as the driver reads it.
float ToFloat(std::string_view text) {
    float value = 0.0f;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// The driver's conversion indexes and their factors; 74 means 0.1.
std::optional<double> IndexFactor(int32_t index) {
    switch (index) {
        case 74: return 0.1;
        case 2: return 100.0;
        case 1: return 10.0;
        case 0: return 1.0;
        case -1: return 0.1;
        case -2: return 0.01;
        case -3: return 0.001;
        case -4: return 0.0001;
        default: return std::nullopt;
    }
}

// The factor of a row of the channels' conversion list; 1 outside it, as the driver has it.
double RowFactor(int32_t row) {
    constexpr double kFactors[] = {0.1, 100.0, 10.0, 1.0, 0.1, 0.01, 0.001, 0.0001};
    return row >= 0 && row < 8 ? kFactors[row] : 1.0;
}

struct TypeRange {
    const char* name;
    double lowest;
    double highest;
};
constexpr TypeRange kRanges[] = {{"int16", -32768.0, 32767.0},
                                 {"int32", -2147483648.0, 2147483647.0},
                                 {"uint8", 0.0, 255.0},
                                 {"uint16", 0.0, 65535.0},
                                 {"uint32", 0.0, 4294967295.0}};

std::string Shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

// Empty when `value` ÷ `factor`, truncated as the driver does, fits data type 0..4.
std::string FitProblem(float value, double factor, int32_t type) {
    const double raw = std::trunc(static_cast<double>(value) / factor);
    const TypeRange& range = kRanges[type];
    if (std::isfinite(raw) && raw >= range.lowest && raw <= range.highest) return "";
    const std::string sent = factor == 1.0 ? Shown(value) : Shown(value) + " ÷ " + Shown(factor) + " = " + Shown(raw);
    return sent + " does not fit " + range.name + " (" + Shown(range.lowest) + ".." + Shown(range.highest) +
           "): nothing is sent";
}

// One argument resolved as the driver resolves it, or why it cannot be.
struct Argument {
    enum Kind { kNumber, kText, kNone } kind = kNone;
    float number = 0.0f;
    std::string problem;
};

class Checker {
public:
    explicit Checker(const CommandContext& context) : context_(context) {}

    std::string Check(const std::string& word, std::string_view arguments) {
        if (word == "READ") return Read(SplitArguments(arguments));
        if (word == "WRITE") return Write(SplitArguments(arguments));
        if (word == "ZELK_WRITE") return ChannelWrite(arguments);
        return "unknown command '" + std::string(Trim(word)) + "' (READ, WRITE or ZELK_WRITE)";
    }
    // Counts a ZELK_WRITE to the control word or reference in the order the driver runs them.
    bool SecondControlWord(std::string_view arguments) {
        const std::string_view number = Trim(arguments.substr(0, arguments.find('=')));
        if (!IsNumberText(number)) return false;
        const int32_t channel = static_cast<int32_t>(ToFloat(number));
        if (channel != 3 && channel != 4) return false;
        return ++controlWrites_ > 1;
    }

private:
    const Variable* Find(std::string_view name) const {
        const std::u16string wide = hostkit::FromUtf8(name);
        for (const Variable& variable : context_.variables) {
            if (variable.name == wide) return &variable;
        }
        return nullptr;
    }

    Argument Resolve(std::string_view text) const {
        Argument argument;
        if (const Variable* variable = Find(text)) {
            argument.kind = Argument::kNumber;
            if (auto* i = std::get_if<int32_t>(&variable->value)) argument.number = static_cast<float>(*i);
            else if (auto* f = std::get_if<float>(&variable->value)) argument.number = *f;
            else argument.kind = Argument::kText;
            return argument;
        }
        if (!IsNumberText(text)) {
            argument.problem = "'" + std::string(text) + "' is neither a number nor a --var";
            return argument;
        }
        argument.kind = Argument::kNumber;
        argument.number = ToFloat(text);
        return argument;
    }

    // A number argument: P, F, T and S of a READ or WRITE.
    std::string Number(std::string_view text, const char* what, float& number) const {
        const Argument argument = Resolve(text);
        if (!argument.problem.empty()) return argument.problem;
        if (argument.kind != Argument::kNumber) return std::string(what) + " needs a number, not the text --var " + std::string(text);
        if (!std::isfinite(argument.number)) return std::string(what) + " is not a finite number";
        number = argument.number;
        return "";
    }

    // P, F and T of a READ or WRITE; a WRITE's conversion index must be one the drive
    // knows (a READ's only scales what it stores).
    std::string Attributes(const std::vector<std::string_view>& a, bool write, int32_t& index, int32_t& type) const {
        float p = 0, f = 0, t = 0;
        for (const std::string& problem : {Number(a[0], "the parameter number", p),
                                           Number(a[1], "the conversion index", f), Number(a[2], "the data type", t)}) {
            if (!problem.empty()) return problem;
        }
        if (std::trunc(p) < 0 || std::trunc(p) > 4095) return "parameter number " + Shown(p) + " is outside 0..4095";
        index = static_cast<int32_t>(std::trunc(f));
        if (write && !IndexFactor(index)) {
            return "conversion index " + Shown(f) + " is none the drive knows (74, 2, 1, 0, -1, -2, -3, -4)";
        }
        if (std::trunc(t) < 0 || std::trunc(t) > 5) return "data type " + Shown(t) + " is none of 0..5";
        type = static_cast<int32_t>(std::trunc(t));
        return "";
    }

    std::string Read(const std::vector<std::string_view>& a) const {
        if (a.size() < 4) return "READ takes four arguments: READ(P,F,T,X)";
        int32_t index = 0, type = 0;
        if (std::string problem = Attributes(a, false, index, type); !problem.empty()) return problem;
        const Variable* target = Find(a[3]);
        if (target == nullptr) {
            return "READ stores into a --var, and '" + std::string(a[3]) + "' is none (e.g. --var " + std::string(a[3]) +
                   (type == 5 ? ":text=)" : ":float=0)");
        }
        const bool text = std::holds_alternative<std::u16string>(target->value);
        if (text != (type == 5)) {
            return "READ of data type " + std::to_string(type) + " stores " + (type == 5 ? "a text" : "a number") +
                   ", and --var " + std::string(a[3]) + " is " + (text ? "a text" : "a number");
        }
        return "";
    }

    std::string Write(const std::vector<std::string_view>& a) const {
        if (a.size() < 5) return "WRITE takes five arguments: WRITE(P,F,T,S,V)";
        if (Trim(a[2]) == "5") return "WRITE cannot write a text parameter (type 5)";
        int32_t index = 0, type = 0;
        if (std::string problem = Attributes(a, true, index, type); !problem.empty()) return problem;
        float save = 0;
        if (std::string problem = Number(a[3], "the save flag", save); !problem.empty()) return problem;
        if (std::trunc(save) != 0 && std::trunc(save) != 1) return "the save flag is 0 or 1, not " + Shown(save);
        const Argument value = Resolve(a[4]);
        if (!value.problem.empty()) return value.problem;
        if (type == 5) {
            return value.kind == Argument::kText ? ""
                                                 : "a text write takes its text from a text --var, not '" +
                                                       std::string(a[4]) + "'";
        }
        if (value.kind != Argument::kNumber) return "the value needs a number, not the text --var " + std::string(a[4]);
        return FitProblem(value.number, *IndexFactor(index), type);
    }

    std::string ChannelWrite(std::string_view arguments) const {
        const std::size_t equals = arguments.find('=');
        if (equals == std::string_view::npos) return "ZELK_WRITE takes k=v: ZELK_WRITE(7=47.5)";
        const std::string_view number = Trim(arguments.substr(0, equals));
        const std::string_view value = Trim(arguments.substr(equals + 1));
        if (!IsNumberText(number)) return "ZELK_WRITE takes a host channel number, not '" + std::string(number) + "'";
        if (!context_.channels) return "";  // the driver checks the rest
        const auto& table = *context_.channels;
        const double k = std::trunc(static_cast<double>(ToFloat(number)));
        if (k < 1 || k > static_cast<double>(table.size())) {
            return "host channel " + Shown(k) + " does not exist (1.." + std::to_string(table.size()) + ", see channels)";
        }
        const hostkit::BlobChannel& channel = table[static_cast<std::size_t>(k) - 1];
        if (channel.access == 0) return "host channel " + Shown(k) + " is read only";
        if (k == 3 || k == 4) return "";  // sends the control word and reference, not v
        if (channel.type == 5) {
            return hostkit::ToGbk(hostkit::FromUtf8(value)).size() > 245 ? "a text of more than 245 bytes cannot be sent"
                                                                       : "";
        }
        if (!IsNumberText(value)) {
            return "ZELK_WRITE takes a number for host channel " + Shown(k) + ", not '" + std::string(value) +
                   "' (host variables are not read here)";
        }
        if (channel.type < 0 || channel.type > 4) return "host channel " + Shown(k) + " has no data type the drive knows";
        return FitProblem(ToFloat(value), RowFactor(channel.conversion), channel.type);
    }

    const CommandContext& context_;
    int controlWrites_ = 0;
};

struct Command {
    std::string word;
    std::string_view arguments;
    std::string_view text;
};

// The commands of a text in the order the driver runs them: last first.
std::variant<std::vector<Command>, std::string> Split(std::string_view text) {
    std::vector<Command> commands;
    std::string_view rest = text;
    while (!Trim(rest).empty()) {
        const std::size_t open = rest.find('(');
        const std::size_t close = rest.find(')');
        if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
            return "malformed command '" + std::string(Trim(rest)) + "': a command is WORD(arguments)";
        }
        commands.push_back({Upper(Trim(rest.substr(0, open))), rest.substr(open + 1, close - open - 1),
                            Trim(rest.substr(0, close + 1))});
        rest = rest.substr(close + 1);
    }
    if (commands.empty()) return std::string("no command in the text");
    std::reverse(commands.begin(), commands.end());
    return commands;
}

}  // namespace

std::string CheckCommandTexts(const std::vector<std::string>& texts, const CommandContext& context) {
    Checker checker(context);
    for (const std::string& text : texts) {
        auto split = Split(text);
        if (auto* problem = std::get_if<std::string>(&split)) return "\"" + text + "\": " + *problem;
        for (const Command& command : std::get<std::vector<Command>>(split)) {
            if (const std::string problem = checker.Check(command.word, command.arguments); !problem.empty()) {
                return "\"" + std::string(command.text) + "\": " + problem;
            }
            if (command.word == "ZELK_WRITE" && checker.SecondControlWord(command.arguments)) {
                return "\"" + std::string(command.text) +
                       "\" sends nothing: the control word goes once per device; see korvan-host help";
            }
        }
    }
    return "";
}

}  // namespace korvanhost
