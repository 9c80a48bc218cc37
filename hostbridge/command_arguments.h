// The arguments of device commands: a separated list whose entries are literal
// numbers or names of host variables, resolved to numbers and texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvan {

// Where an argument's value came from.
enum class ArgumentSource : int32_t {
    kNumberText,      // a literal that is a number as a whole
    kOtherText,       // any other literal: read by its leading digits ("12abc" is 12, "abc" 0)
    kNumericVariable, // an integer or float host variable
    kTextVariable,    // a text host variable
};

struct CommandArguments {
    std::vector<std::u16string> names;    // each argument, trimmed
    std::vector<float> numbers;           // a numeric variable's value, or the literal's
    std::vector<std::u16string> texts;    // a text variable's value; empty for literals
    std::vector<ArgumentSource> sources;  // what each argument turned out to be

    // A number the user gave: a numeric host variable, or a literal that reads whole.
    bool IsNumber(std::size_t i) const {
        return sources[i] == ArgumentSource::kNumberText || sources[i] == ArgumentSource::kNumericVariable;
    }
};

// True for a number as a whole: an optional minus sign, digits with at most one point
// among them, at least one digit; nothing else, not even white space.
bool IsNumberText(std::u16string_view text);

// k separators give k + 1 arguments, empty ones included. Returns 1.
int32_t ParseCommandArguments(std::u16string_view text, char16_t separator, CommandArguments& arguments);
// The value of an integer or float host variable (0 for any other name). Returns 1.
int32_t ReadNumericArgument(std::u16string_view name, float& value);
// The value of a text host variable (empty for any other name). Returns 1.
int32_t ReadTextArgument(std::u16string_view name, std::u16string& value);
// 1 when written into an integer (truncated toward zero) or float variable, else 0.
int32_t StoreNumericResult(std::u16string_view name, float value);
// 1 when written into a text variable, else 0.
int32_t StoreTextResult(std::u16string_view name, std::u16string_view text);
// Left and right of the first separator, both trimmed; 0 (outputs unchanged) without one.
int32_t SplitAtSeparator(std::u16string_view text, char16_t separator, std::u16string& left,
                         std::u16string& right);
int32_t TextEquals(std::u16string_view a, std::u16string_view b);

}  // namespace korvan
