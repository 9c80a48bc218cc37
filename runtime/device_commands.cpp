#include "runtime/device_commands.h"

#include <cmath>
#include <string>
#include <vector>

#include "channels/channel_list.h"
#include "channels/channel_types.h"
#include "driver/device_state.h"
#include "driver/host_containers.h"
#include "hostbridge/command_arguments.h"
#include "link/drive_telegram.h"
#include "link/parameter_value.h"
#include "platform/system/truncate.h"
#include "platform/system/wide_text.h"
#include "runtime/conversion.h"
#include "runtime/write_checks.h"

namespace korvan {
namespace {

constexpr int32_t kControlWordElement = 3;
constexpr int32_t kReferenceElement = 4;
constexpr int32_t kControlWordIndex = 2;  // table indices of the control word and reference
constexpr int32_t kReferenceIndex = 3;

struct Command {
    std::u16string word;  // trimmed, upper-cased
    std::u16string_view arguments;
};

constexpr std::size_t kLongestWord = 10;  // "ZELK_WRITE"

// The end of the text before `open` once trailing white space is removed (not before `from`).
std::size_t TrimmedEnd(std::u16string_view text, std::size_t from, std::size_t open) {
    std::size_t end = open == std::u16string_view::npos ? from : open;
    while (end > from && platform::IsWhiteSpace(text[end - 1])) --end;
    return end;
}

// Splits the text into its commands, first to last. Each is a word, "(", arguments
// and ")"; what follows the ")" is the next command's text. A rest without both
// parentheses holds no command. Every character is looked at a bounded number of
// times, however the parentheses are arranged, and a word too long to be a command
// word is not copied.
std::vector<Command> SplitCommands(std::u16string_view text) {
    std::vector<Command> commands;
    std::size_t position = 0;
    std::size_t open = text.find(u'(');
    std::size_t wordEnd = TrimmedEnd(text, 0, open);
    while (position < text.size()) {
        const std::size_t close = text.find(u')', position);
        if (open == std::u16string_view::npos || close == std::u16string_view::npos) break;
        std::size_t wordStart = position;
        while (wordStart < wordEnd && platform::IsWhiteSpace(text[wordStart])) ++wordStart;
        Command command;
        if (wordEnd - wordStart <= kLongestWord) {
            command.word = platform::ToUpper(text.substr(wordStart, wordEnd - wordStart));
        }
        if (close > open) command.arguments = text.substr(open + 1, close - open - 1);
        commands.push_back(command);
        position = close + 1;
        if (open < position) {
            open = text.find(u'(', position);
            wordEnd = TrimmedEnd(text, position, open);
        }
    }
    return commands;
}

int32_t Execute(DeviceInstance& device, SerialIo& io, const Command& command, HostDoubleArray& results) {
    if (command.word == u"ZELK_WRITE") return ChannelWriteCommand(device, io, command.arguments, results);
    if (command.word == u"READ") return ParameterReadCommand(device, io, command.arguments, results);
    if (command.word == u"WRITE") return ParameterWriteCommand(device, io, command.arguments, results);
    return 0;
}

// The control word and reference to send: the integer parts of results elements 3
// and 4, 0 where the host passed no such element.
int32_t ElementAsInteger(const HostDoubleArray& results, int32_t element) {
    return platform::TruncateToInt32(DoubleAt(results, element));
}

// The parameter number is the argument's integer part: -0.5 is parameter 0.
bool IsUsableParameter(float number) {
    const float whole = std::trunc(number);
    return whole >= 0.0f && whole <= static_cast<float>(kHighestParameterNumber);
}

int32_t WriteConfiguredChannel(DeviceInstance& device, SerialIo& io, DeviceState& state, int32_t index,
                               const std::u16string& valueText, const HostDoubleArray& results) {
    const ChannelRecord& channel = state.channelTable->GetAt(index);
    const int32_t address = state.Setting(kDeviceAddress);
    const int32_t controlWord = ElementAsInteger(results, kControlWordElement);
    const int32_t reference = ElementAsInteger(results, kReferenceElement);
    const int32_t parameter = channel.GetInteger(attr::kParameterNumber);
    const int32_t type = channel.GetInteger(attr::kParameterDataType);
    DriveTelegram telegram;
    int32_t expected = 0;
    if (index == kControlWordIndex || index == kReferenceIndex) {
        expected = BuildProcessTelegram(telegram, address, controlWord, reference);
    } else if (type == kText) {
        expected = BuildTextWriteTelegram(telegram, address, parameter, valueText, controlWord, reference);
    } else {
        const double value = DecimalTextToValue(valueText) / ChannelFactor(channel);
        expected = BuildWriteTelegram(telegram, address, parameter, type, channel.GetInteger(attr::kRetain), value,
                                      controlWord, reference);
    }
    return ExchangeTelegram(device, io, telegram, expected) > 0 ? 1 : kWriteFailed;
}

}  // namespace

int32_t ExecuteCommandText(DeviceInstance& device, SerialIo& io, std::u16string_view text, HostDoubleArray& results) {
    const std::vector<Command> commands = SplitCommands(text);
    int32_t result = 0;
    for (auto command = commands.rbegin(); command != commands.rend(); ++command) {
        result = Execute(device, io, *command, results);
    }
    return result;
}

int32_t ChannelWriteCommand(DeviceInstance& device, SerialIo& io, std::u16string_view arguments,
                            HostDoubleArray& results) {
    std::u16string left, right;
    if (SplitAtSeparator(arguments, u'=', left, right) == 0) return 0;
    DeviceState& state = *StateOf(device);
    if (!IsUsableChannelNumber(left)) return kUnusableArguments;
    const int32_t hostChannel = platform::TruncateToInt32(DecimalTextToValue(left));
    if (hostChannel < 1 || hostChannel > state.channelTable->GetCount()) return kUnusableArguments;
    const int32_t index = hostChannel - 1;
    const ChannelRecord& channel = state.channelTable->GetAt(index);
    if (channel.GetInteger(attr::kAccessType) == kReadOnly) return kUnusableArguments;
    if (index == kControlWordIndex || index == kReferenceIndex) {
        // The value is not sent: the drive gets the control word and reference of the
        // results, once per device.
        if (state.controlWriteLatch != 0) return 1;
        state.controlWriteLatch = 1;
    } else if (!IsUsableChannelValue(channel, right)) {
        return kUnusableArguments;
    }
    return WriteConfiguredChannel(device, io, state, index, right, results);
}

int32_t ParameterReadCommand(DeviceInstance& device, SerialIo& io, std::u16string_view text,
                             HostDoubleArray& results) {
    CommandArguments arguments;
    ParseCommandArguments(text, u',', arguments);
    if (arguments.names.size() < 4 || !IsUsableParameter(arguments.numbers[0])) return kUnusableArguments;
    const DeviceState& state = *StateOf(device);
    const int32_t type = platform::TruncateToInt32(arguments.numbers[2]);
    if (type < kSigned16 || type > kText) return kUnusableArguments;  // no value could be stored
    DriveTelegram telegram;
    const int32_t expected = BuildReadTelegram(telegram, state.Setting(kDeviceAddress),
                                               platform::TruncateToInt32(arguments.numbers[0]), type);
    const int32_t exchanged = ExchangeTelegram(device, io, telegram, expected);
    if (exchanged <= 0) return exchanged;
    const double factor = IndexFactor(platform::TruncateToInt32(arguments.numbers[1]));
    const bool numeric = type >= kSigned16 && type <= kUnsigned32;
    const double value = numeric ? DecodeParameterValue(telegram, type, factor) : 0.0;
    SetDoubleAt(results, kStatusWordChannel, ReplyStatusWord(telegram));
    SetDoubleAt(results, kPresentFrequencyChannel, ReplyMainActualValue(telegram));
    if (type == kText) StoreTextResult(arguments.names[3], DecodeParameterText(telegram));
    else StoreNumericResult(arguments.names[3], static_cast<float>(value));
    return 1;
}

int32_t ParameterWriteCommand(DeviceInstance& device, SerialIo& io, std::u16string_view text,
                              HostDoubleArray& results) {
    CommandArguments arguments;
    ParseCommandArguments(text, u',', arguments);
    if (arguments.names.size() < 5 || arguments.numbers[2] == 5.0f) return kUnusableArguments;
    if (!IsUsableWrite(arguments)) return kUnusableArguments;
    const DeviceState& state = *StateOf(device);
    const int32_t address = state.Setting(kDeviceAddress);
    const int32_t parameter = platform::TruncateToInt32(arguments.numbers[0]);
    const int32_t type = platform::TruncateToInt32(arguments.numbers[2]);
    const int32_t controlWord = ElementAsInteger(results, kControlWordElement);
    const int32_t reference = ElementAsInteger(results, kReferenceElement);
    DriveTelegram telegram;
    int32_t expected = 0;
    if (type == kText) {  // a type such as 5.5: the text of argument 4
        expected = BuildTextWriteTelegram(telegram, address, parameter, arguments.texts[4], controlWord, reference);
    } else {
        const double value = arguments.numbers[4] / IndexFactor(platform::TruncateToInt32(arguments.numbers[1]));
        expected = BuildWriteTelegram(telegram, address, parameter, type,
                                      platform::TruncateToInt32(arguments.numbers[3]), value, controlWord, reference);
    }
    return ExchangeTelegram(device, io, telegram, expected) > 0 ? 1 : kWriteFailed;
}

}  // namespace korvan
