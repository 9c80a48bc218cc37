#include "runtime/write_checks.h"

#include <cmath>
#include <cstddef>

#include "channels/channel_record.h"
#include "channels/channel_types.h"
#include "link/parameter_value.h"
#include "platform/system/truncate.h"
#include "runtime/conversion.h"

namespace korvan {
namespace {

constexpr std::size_t kParameter = 0, kConversion = 1, kType = 2, kRetain = 3, kValue = 4;

bool IsFiniteNumber(const CommandArguments& arguments, std::size_t i) {
    return arguments.IsNumber(i) && std::isfinite(arguments.numbers[i]);
}

int32_t IntegerPart(float number) { return platform::TruncateToInt32(number); }

bool IsUsableAttributes(const CommandArguments& arguments) {
    for (std::size_t i : {kParameter, kConversion, kType, kRetain}) {
        if (!IsFiniteNumber(arguments, i)) return false;
    }
    const float parameter = std::trunc(arguments.numbers[kParameter]);
    const int32_t retain = IntegerPart(arguments.numbers[kRetain]);
    return parameter >= 0.0f && parameter <= static_cast<float>(kHighestParameterNumber) &&
           IsKnownConversionIndex(IntegerPart(arguments.numbers[kConversion])) && (retain == 0 || retain == 1);
}

}  // namespace

bool IsUsableWrite(const CommandArguments& arguments) {
    if (arguments.names.size() <= kValue || !IsUsableAttributes(arguments)) return false;
    const int32_t type = IntegerPart(arguments.numbers[kType]);
    if (type == kText) return arguments.sources[kValue] == ArgumentSource::kTextVariable;
    const double value = arguments.numbers[kValue] / IndexFactor(IntegerPart(arguments.numbers[kConversion]));
    return IsFiniteNumber(arguments, kValue) && ValueFitsType(value, type);
}

bool IsUsableChannelNumber(std::u16string_view text) { return IsNumberText(text); }

bool IsUsableChannelValue(const ChannelRecord& channel, std::u16string_view text) {
    const int32_t type = channel.GetInteger(attr::kParameterDataType);
    if (type == kText) return true;
    return IsNumberText(text) && ValueFitsType(DecimalTextToValue(text) / ChannelFactor(channel), type);
}

}  // namespace korvan
