// What a channel's attributes mean: their names, the value sets and the texts that
// show them, the conversion table and the four fixed channels.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace korvan {

// Attribute names, exactly as records are read and written by.
namespace attr {
inline constexpr std::u16string_view kAccessType = u"读写类型";
inline constexpr std::u16string_view kParameterDataType = u"通道类型";
inline constexpr std::u16string_view kParameterNumber = u"通道参数号";
inline constexpr std::u16string_view kValueType = u"通道数据类型";
inline constexpr std::u16string_view kConversion = u"通道转换系数";
inline constexpr std::u16string_view kRecordName = u"通道名称";
inline constexpr std::u16string_view kDraftName = u"通道名";
inline constexpr std::u16string_view kRetain = u"断电保存";
}  // namespace attr

// The drive's parameter numbers: the request carries eleven bits, and the drive knows
// none above 4095.
inline constexpr int32_t kHighestParameterNumber = 4095;

enum AccessType : int32_t { kReadOnly = 0, kWriteOnly = 1, kReadWrite = 2 };
inline constexpr std::array<std::u16string_view, 3> kAccessTypeTexts = {u"只读数据", u"只写数据", u"读写数据"};

enum ParameterDataType : int32_t {
    kSigned16 = 0, kSigned32 = 1, kUnsigned8 = 2, kUnsigned16 = 3, kUnsigned32 = 4, kText = 5
};
inline constexpr std::array<std::u16string_view, 6> kParameterDataTypeTexts = {
    u"16位有符号整型", u"32位有符号整型", u"8 位无符号整型", u"16位无符号整型", u"32位无符号整型", u"文本"};

enum ChannelValueType : int32_t { kStatusValue = 1, kNumericValue = 2, kTextValue = 3 };
// The value type that always goes with a parameter data type.
inline constexpr int32_t ValueTypeFor(int32_t parameterDataType) {
    return parameterDataType == kText ? kTextValue : kNumericValue;
}

struct ConversionRow {
    std::u16string_view text;  // the drive's conversion index
    double multiplier;
};
inline constexpr std::array<ConversionRow, 8> kConversionTable = {{
    {u"74", 0.1}, {u"2", 100.0}, {u"1", 10.0}, {u"0", 1.0},
    {u"-1", 0.1}, {u"-2", 0.01}, {u"-3", 0.001}, {u"-4", 0.0001},
}};

struct FixedChannel {
    std::u16string_view name;
    int32_t accessType;
};
// Positions 0..3 of every channel table, all with the key (0, 0, 2).
inline constexpr std::array<FixedChannel, 4> kFixedChannels = {{
    {u"当前频率", kReadOnly}, {u"状态字", kReadOnly}, {u"控制字", kWriteOnly}, {u"期望值", kWriteOnly},
}};
inline constexpr int32_t kFixedChannelCount = 4;

}  // namespace korvan
