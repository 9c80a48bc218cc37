// Tokens of the resource-script dialect: numbers, quoted UTF-8 strings, names,
// commas and the '|' that joins styles. Comments and preprocessor lines are skipped.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvan::rc {

struct Token {
    enum Kind { kNumber, kString, kName, kComma, kPipe, kEnd } kind;
    std::string text;  // a string's content with its escapes resolved
    long number = 0;
    int line = 0;
};

// Thrown with the script line it concerns.
class ScriptError : public std::runtime_error {
public:
    ScriptError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
    int Line() const { return line_; }

private:
    int line_;
};

// The script's tokens, ending with one kEnd token.
std::vector<Token> Tokenize(std::string_view script);

}  // namespace korvan::rc
