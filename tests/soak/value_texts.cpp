#include "tests/soak/value_texts.h"

#include <cmath>
#include <string_view>

namespace korvansoak {
namespace {

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string Number(int64_t value) { return Widen(std::to_string(value)); }

int32_t DecimalsOf(double factor) { return factor >= 1.0 ? 0 : static_cast<int32_t>(std::lround(-std::log10(factor))); }

}  // namespace

std::u16string ScaledValueText(int64_t raw, double factor) {
    const int32_t decimals = DecimalsOf(factor);
    int64_t unit = 1;
    for (int32_t i = 0; i < decimals; ++i) unit *= 10;
    const uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
    std::string text = (raw < 0 ? "-" : "") + std::to_string(magnitude / static_cast<uint64_t>(unit));
    if (decimals > 0) {
        std::string fraction = std::to_string(magnitude % static_cast<uint64_t>(unit));
        text += "." + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return Widen(text);
}

std::u16string ReadCommand(const PlanChannel& channel, std::u16string_view variable) {
    return u"READ(" + Number(channel.pnu) + u"," + Number(channel.factorIndex) + u"," + Number(channel.type) + u"," +
           std::u16string(variable) + u")";
}

std::u16string WriteCommand(const PlanChannel& channel, int64_t raw, int32_t retain) {
    return u"WRITE(" + Number(channel.pnu) + u"," + Number(channel.factorIndex) + u"," + Number(channel.type) + u"," +
           Number(retain) + u"," + ScaledValueText(raw, channel.factor) + u")";
}

std::u16string ChannelWriteCommand(int32_t hostChannel, std::u16string_view value) {
    return u"ZELK_WRITE(" + Number(hostChannel) + u"=" + std::u16string(value) + u")";
}

std::u16string DisplayText(std::mt19937& random) {
    static constexpr std::u16string_view kChinese = u"变频器一号电机运行停止速度温度压力";
    static constexpr std::u16string_view kLatin = u"ABCDEFGHJKLMNPQRSTUVWXYZ0123456789-";
    const auto pick = [&random](std::u16string_view from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    const int32_t wide = std::uniform_int_distribution<int32_t>(0, kTextBytes / 2)(random);
    std::u16string text;
    for (int32_t i = 0; i < wide; ++i) text.push_back(pick(kChinese));
    for (int32_t i = 2 * wide; i < kTextBytes; ++i) text.push_back(pick(kLatin));
    return text;
}

}  // namespace korvansoak
