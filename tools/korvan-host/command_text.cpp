#include "tools/korvan-host/command_text.h"

#include <algorithm>
#include <cctype>

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

std::size_t CountArguments(std::string_view arguments) {
    return static_cast<std::size_t>(std::count(arguments.begin(), arguments.end(), ',')) + 1;
}

std::string CheckOne(const std::string& word, std::string_view arguments) {
    if (word == "READ") {
        return CountArguments(arguments) >= 4 ? "" : "READ takes four arguments: READ(P,F,T,X)";
    }
    if (word == "WRITE") {
        if (CountArguments(arguments) < 5) return "WRITE takes five arguments: WRITE(P,F,T,S,V)";
        std::string_view type = arguments;
        for (int skip = 0; skip < 2; ++skip) type = type.substr(type.find(',') + 1);
        return Trim(type.substr(0, type.find(','))) == "5" ? "WRITE cannot write a text parameter (type 5)" : "";
    }
    if (word == "ZELK_WRITE") {
        return arguments.find('=') != std::string_view::npos ? "" : "ZELK_WRITE takes k=v: ZELK_WRITE(7=47.5)";
    }
    return "unknown command '" + std::string(Trim(word)) + "' (READ, WRITE or ZELK_WRITE)";
}

}  // namespace

std::string CheckCommandText(std::string_view text) {
    std::string_view rest = text;
    bool any = false;
    while (!Trim(rest).empty()) {
        const std::size_t open = rest.find('(');
        const std::size_t close = rest.find(')');
        if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
            return "malformed command '" + std::string(Trim(rest)) + "': a command is WORD(arguments)";
        }
        const std::string problem = CheckOne(Upper(Trim(rest.substr(0, open))), rest.substr(open + 1, close - open - 1));
        if (!problem.empty()) return problem;
        any = true;
        rest = rest.substr(close + 1);
    }
    return any ? "" : "no command in the text";
}

}  // namespace korvanhost
