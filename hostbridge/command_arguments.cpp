#include "hostbridge/command_arguments.h"

#include "hostbridge/host_calls.h"
#include "platform/system/truncate.h"
#include "platform/system/wide_text.h"

namespace korvan {
namespace {

constexpr std::u16string_view kLiteralCharacters = u"-1234567890.";

// A literal's value: its longest leading run of "-1234567890." read as a number. A
// run of one character counts only as one of the digits 1 to 9.
float LiteralValue(std::u16string_view argument) {
    const std::size_t end = argument.find_first_not_of(kLiteralCharacters);
    const std::u16string_view run = platform::Trim(argument.substr(0, end));
    if (run.empty()) return 0.0f;
    if (run.size() == 1) return run[0] >= u'1' && run[0] <= u'9' ? static_cast<float>(run[0] - u'0') : 0.0f;
    return platform::ScanFloat(run).value_or(0.0f);
}

void SplitAll(std::u16string_view text, char16_t separator, std::vector<std::u16string>& names) {
    for (;;) {
        const std::size_t at = text.find(separator);
        names.emplace_back(platform::Trim(text.substr(0, at)));
        if (at == std::u16string_view::npos) return;
        text.remove_prefix(at + 1);
    }
}

}  // namespace

bool IsNumberText(std::u16string_view text) {
    if (!text.empty() && text.front() == u'-') text.remove_prefix(1);
    std::size_t digits = 0, points = 0;
    for (char16_t c : text) {
        if (c >= u'0' && c <= u'9') ++digits;
        else if (c == u'.') ++points;
        else return false;
    }
    return digits > 0 && points <= 1;
}

int32_t ParseCommandArguments(std::u16string_view text, char16_t separator, CommandArguments& arguments) {
    SplitAll(text, separator, arguments.names);
    arguments.numbers.assign(arguments.names.size(), 0.0f);
    arguments.texts.assign(arguments.names.size(), std::u16string());
    arguments.sources.assign(arguments.names.size(), ArgumentSource::kOtherText);
    for (std::size_t i = 0; i < arguments.names.size(); ++i) {
        const std::u16string& name = arguments.names[i];
        ArgumentSource& source = arguments.sources[i];
        switch (GetDataType(name)) {
            case kHostInteger:
            case kHostFloat:
                ReadNumericArgument(name, arguments.numbers[i]);
                source = ArgumentSource::kNumericVariable;
                break;
            case kHostText:
                ReadTextArgument(name, arguments.texts[i]);
                source = ArgumentSource::kTextVariable;
                break;
            default:
                arguments.numbers[i] = LiteralValue(name);
                source = IsNumberText(name) ? ArgumentSource::kNumberText : ArgumentSource::kOtherText;
                break;
        }
    }
    return 1;
}

int32_t ReadNumericArgument(std::u16string_view name, float& value) {
    value = 0.0f;
    const int32_t type = GetDataType(name);
    if (type == kHostInteger) {
        int32_t integer = 0;
        GetHostInteger(name, integer);
        value = static_cast<float>(integer);
    } else if (type == kHostFloat) {
        GetHostFloat(name, value);
    }
    return 1;
}

int32_t ReadTextArgument(std::u16string_view name, std::u16string& value) {
    value.clear();
    if (GetDataType(name) == kHostText) GetHostText(name, value);
    return 1;
}

int32_t StoreNumericResult(std::u16string_view name, float value) {
    switch (GetDataType(name)) {
        case kHostInteger: SetHostInteger(name, platform::TruncateToInt32(value)); return 1;
        case kHostFloat: SetHostFloat(name, value); return 1;
        default: return 0;
    }
}

int32_t StoreTextResult(std::u16string_view name, std::u16string_view text) {
    if (GetDataType(name) != kHostText) return 0;
    SetHostText(name, text);
    return 1;
}

int32_t SplitAtSeparator(std::u16string_view text, char16_t separator, std::u16string& left,
                         std::u16string& right) {
    const std::size_t at = text.find(separator);
    if (at == std::u16string_view::npos) return 0;
    left = platform::Trim(text.substr(0, at));
    right = platform::Trim(text.substr(at + 1));
    return 1;
}

int32_t TextEquals(std::u16string_view a, std::u16string_view b) { return a == b ? 1 : 0; }

}  // namespace korvan
