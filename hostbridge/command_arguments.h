// The arguments of device commands: a separated list whose entries are literal
// numbers or names of host variables, resolved to numbers and texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvan {

struct CommandArguments {
    std::vector<std::u16string> names;  // each argument, trimmed
    std::vector<float> numbers;         // a numeric variable's value, or the literal's
    std::vector<std::u16string> texts;  // a text variable's value; empty for literals
};

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
