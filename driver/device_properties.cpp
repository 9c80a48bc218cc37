#include "driver/device_properties.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "driver/device_state.h"
#include "driver/host_containers.h"
#include "platform/system/wide_text.h"

namespace korvan {
namespace {

struct Property {
    std::u16string_view name;
    int32_t optionCount;
};

constexpr std::array<Property, 2> kPropertyTable = {{{u"设备地址", 0}, {u"通讯等待时间", 0}}};
constexpr std::array<std::u16string_view, 2> kOptionTexts = {u"0 - 不求校验", u"1 - 求校验"};
constexpr int32_t kPropertyCount = static_cast<int32_t>(kPropertyTable.size());

std::u16string_view OptionText(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(kOptionTexts.size())) return {};
    return kOptionTexts[index];
}

// A number typed by the user: "0x" (any case) anywhere starts a hexadecimal number
// after it, otherwise the text is decimal; text after the number is ignored, and a
// text with no number gives 0.
int32_t ParseNumberText(std::u16string_view text) {
    const std::u16string upper = platform::ToUpper(platform::Trim(text));
    const std::size_t hexMark = upper.find(u"0X");
    const std::u16string_view view(upper);
    const std::optional<int32_t> number =
        hexMark == std::u16string::npos ? platform::ScanDecimal(view) : platform::ScanHex(view.substr(hexMark + 2));
    return number.value_or(0);
}

void ApplyOne(int32_t& setting, const Property& property, int32_t optionOffset, std::u16string_view value) {
    if (property.optionCount > 0) {
        for (int32_t j = 0; j < property.optionCount; ++j) {
            if (value == OptionText(optionOffset + j)) setting = j;
        }
        return;
    }
    if (!value.empty()) setting = ParseNumberText(value);
}

}  // namespace

void ListProperties(const DeviceInstance& device, HostStringArray& names, HostStringArray& values,
                    HostByteArray& enumFlags) {
    const DeviceState& state = *StateOf(device);
    SetArraySize(names, kPropertyCount);
    SetArraySize(values, kPropertyCount);
    SetArraySize(enumFlags, kPropertyCount);
    int32_t optionOffset = 0;
    for (int32_t i = 0; i < kPropertyCount; ++i) {
        const Property& property = kPropertyTable[i];
        SetTextAt(names, i, property.name);
        const bool enumerated = property.optionCount > 0;
        SetByteAt(enumFlags, i, enumerated ? 1 : 0);
        if (enumerated) SetTextAt(values, i, OptionText(optionOffset + state.Setting(i)));
        else SetTextAt(values, i, platform::FormatDecimal(state.Setting(i)));
        optionOffset += property.optionCount;
    }
}

void AppendPropertyOptions(std::u16string_view name, HostStringArray& options) {
    int32_t optionOffset = 0;
    for (const Property& property : kPropertyTable) {
        if (name == property.name) {
            for (int32_t j = 0; j < property.optionCount; ++j) AppendText(options, OptionText(optionOffset + j));
        }
        optionOffset += property.optionCount;
    }
}

void ApplyProperties(DeviceInstance& device, const HostStringArray& names, const HostStringArray& values) {
    DeviceState& state = *StateOf(device);
    const int32_t n = std::min(ReadableCount(names), kPropertyCount);
    int32_t optionOffset = 0;
    for (int32_t i = 0; i < n; ++i) {
        const Property& property = kPropertyTable[i];
        // A value the host did not pass counts as an empty text: the setting stays.
        if (TextAt(names, i) == property.name && i < state.deviceSettings.Count()) {
            ApplyOne(state.deviceSettings[i], property, optionOffset, TextAt(values, i));
        }
        optionOffset += property.optionCount;
    }
}

}  // namespace korvan
