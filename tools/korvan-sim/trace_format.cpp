#include "tools/korvan-sim/trace_format.h"

#include <cstdio>

#include "tools/korvan-sim/gbk_text.h"

namespace korvansim {
namespace {

std::string Hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

std::string ParameterChannel(TelegramKind kind, std::uint8_t commandAk, std::uint16_t pnu, std::uint16_t index) {
    if (kind == TelegramKind::Process) {
        return "";
    }
    return " ak=" + std::to_string(commandAk) + " pnu=" + std::to_string(pnu) + " ind=" + Hex(index, 4);
}

std::string Payload(TelegramKind kind, std::uint32_t value, const std::vector<std::uint8_t>& text) {
    if (kind == TelegramKind::Process) {
        return "";
    }
    if (kind == TelegramKind::Text) {
        return " text=\"" + PrintableText(text) + "\"";
    }
    return " pwe=" + Hex(value, 8) + " (" + std::to_string(value) + ")";
}

}  // namespace

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(byte));
        if (!text.empty()) {
            text.push_back(' ');
        }
        text.append(pair);
    }
    return text;
}

std::string FormatTime(std::int64_t timeUs) {
    char text[32];
    std::snprintf(text, sizeof text, "%5lld.%06lld", static_cast<long long>(timeUs / 1000000),
                  static_cast<long long>(timeUs % 1000000));
    return text;
}

std::string DescribeTelegram(const Telegram& t, bool bccGood) {
    return "adr=" + Hex(t.address, 2) + ParameterChannel(t.kind, t.ak, t.pnu, t.index) + Payload(t.kind, t.value, t.text) +
           " pcd1=" + Hex(t.pcd1, 4) + " pcd2=" + Hex(t.pcd2, 4) + " bcc=" + (bccGood ? "good" : "bad");
}

std::string DescribeReply(const ReplyRecord& r, bool bccGood) {
    return "adr=" + Hex(r.address, 2) + ParameterChannel(r.kind, r.ak, r.pnu, r.index) + Payload(r.kind, r.value, r.text) +
           " pcd1=" + Hex(r.statusWord, 4) + " pcd2=" + Hex(r.mainActual, 4) + " bcc=" + (bccGood ? "good" : "bad") +
           " fault=" + std::string(FaultName(r.fault));
}

}  // namespace korvansim
