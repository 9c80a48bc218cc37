// Argument lists through the argument parser: any text, any separator, with host
// variables of every type or a host whose every call fails. Each argument must come
// out trimmed, one per separator plus one, with the value of the host variable it
// names (in the variable's own type) or, for a literal, no text; and storing a result
// into each name must reach exactly the numeric variables.
//
// Input: one byte of choices (bit 0: the host's calls fail; bits 1-2: the separator
// is ',', '=', ' ' or the next byte), then the text.
#include <algorithm>
#include <cmath>
#include <string>
#include <variant>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "fuzz/host_variables.h"
#include "fuzz/wide_input.h"
#include "hostbridge/command_arguments.h"
#include "platform/system/wide_text.h"

namespace korvanfuzz {
namespace {

char16_t Separator(uint8_t choice, FuzzInput& input) {
    switch (choice) {
        case 0: return u',';
        case 1: return u'=';
        case 2: return u' ';
        default: return input.Byte();
    }
}

bool SameNumber(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void ExpectResolved(const korvan::CommandArguments& arguments, std::size_t i, HostVariables& host, bool hostWorks) {
    const std::u16string& name = arguments.names[i];
    Expect(name == korvan::platform::Trim(name), "an argument kept white space at its ends");
    const auto variable = hostWorks ? host.Value(name) : std::nullopt;
    if (variable && std::holds_alternative<std::u16string>(*variable)) {
        Expect(arguments.texts[i] == std::get<std::u16string>(*variable),
               "a text variable's argument has another text");
    } else {
        Expect(arguments.texts[i].empty(), "a numeric argument carries a text");
    }
    if (variable && std::holds_alternative<int32_t>(*variable)) {
        Expect(SameNumber(arguments.numbers[i], static_cast<float>(std::get<int32_t>(*variable))),
               "an integer variable's argument has another value");
    } else if (variable && std::holds_alternative<float>(*variable)) {
        Expect(SameNumber(arguments.numbers[i], std::get<float>(*variable)),
               "a float variable's argument has another value");
    }
}

void ExpectStoredOnlyInNumbers(const std::u16string& name, HostVariables& host, bool hostWorks) {
    const auto before = host.Value(name);
    const int32_t stored = korvan::StoreNumericResult(name, 2.5f);
    const bool numeric = hostWorks && before && !std::holds_alternative<std::u16string>(*before);
    Expect(stored == (numeric ? 1 : 0), "a numeric result went elsewhere than into a numeric variable");
    if (!numeric)
        Expect(SameValue(host.Value(name), before), "a numeric result changed a variable that is not numeric");
}

}  // namespace
}  // namespace korvanfuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvanfuzz;
    PrepareCore();
    FuzzInput input(data, size);
    const uint8_t choices = input.Byte();
    const char16_t separator = Separator((choices >> 1) & 3, input);
    const std::u16string text = WideFromBytes(input.Rest());
    const bool hostWorks = (choices & 1) == 0;
    HostVariables host(!hostWorks);
    korvan::CommandArguments arguments;
    korvan::ParseCommandArguments(text, separator, arguments);
    const std::size_t separators = static_cast<std::size_t>(std::count(text.begin(), text.end(), separator));
    Expect(arguments.names.size() == separators + 1, "the argument count is not the separator count plus one");
    Expect(arguments.numbers.size() == arguments.names.size() && arguments.texts.size() == arguments.names.size(),
           "the argument lists have different lengths");
    for (std::size_t i = 0; i < arguments.names.size(); ++i) ExpectResolved(arguments, i, host, hostWorks);
    for (const std::u16string& name : arguments.names) ExpectStoredOnlyInNumbers(name, host, hostWorks);
    return 0;
}
