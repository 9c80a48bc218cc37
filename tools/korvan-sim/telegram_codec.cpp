#include "tools/korvan-sim/telegram_codec.h"

#include <algorithm>

namespace korvansim {
namespace {

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFFu));
}

void DecodePke(std::span<const std::uint8_t> frame, Telegram& telegram) {
    const std::uint16_t pke = Word(frame, 3);
    telegram.ak = static_cast<std::uint8_t>(pke >> 12);
    telegram.spontaneous = (pke & 0x0800u) != 0;
    telegram.pnu = pke & 0x07FFu;
    telegram.index = Word(frame, 5);
}

DecodeError DecodeBody(std::span<const std::uint8_t> frame, Telegram& telegram) {
    const std::uint8_t lge = frame[1];
    telegram.address = frame[2];
    if (lge == kProcessLength) {
        telegram.kind = TelegramKind::Process;
        telegram.pcd1 = Word(frame, 3);
        telegram.pcd2 = Word(frame, 5);
        return DecodeError::None;
    }
    DecodePke(frame, telegram);
    const bool textWrite = telegram.ak == ak::kText && (telegram.index >> 8) == kTextWriteIndex;
    if (lge == kParameterLength && !textWrite) {
        telegram.kind = TelegramKind::Parameter;
        telegram.value = (static_cast<std::uint32_t>(Word(frame, 7)) << 16) | Word(frame, 9);
        telegram.pcd1 = Word(frame, 11);
        telegram.pcd2 = Word(frame, 13);
        return DecodeError::None;
    }
    const std::size_t n = lge - kTextOverhead;
    telegram.kind = TelegramKind::Text;
    telegram.text.assign(frame.begin() + 7, frame.begin() + 7 + static_cast<std::ptrdiff_t>(n));
    telegram.pcd1 = Word(frame, 7 + n);
    telegram.pcd2 = Word(frame, 9 + n);
    return telegram.ak == ak::kText ? DecodeError::None : DecodeError::BadLayout;
}

}  // namespace

std::uint8_t BlockCheck(std::span<const std::uint8_t> bytes) {
    std::uint8_t bcc = 0;
    for (const std::uint8_t byte : bytes) {
        bcc ^= byte;
    }
    return bcc;
}

bool IsPlausibleLength(std::uint8_t lge) {
    return lge == kProcessLength || lge >= kTextOverhead;
}

std::string_view DecodeErrorName(DecodeError error) {
    switch (error) {
    case DecodeError::None: return "ok";
    case DecodeError::TooShort: return "too short";
    case DecodeError::NoStx: return "no STX";
    case DecodeError::BadLength: return "bad LGE";
    case DecodeError::BadBcc: return "bad BCC";
    case DecodeError::BadLayout: return "text length without AK 15";
    }
    return "?";
}

Decoded DecodeTelegram(std::span<const std::uint8_t> frame) {
    Decoded decoded;
    if (frame.size() < 4) {
        decoded.error = DecodeError::TooShort;
    } else if (frame[0] != kStx) {
        decoded.error = DecodeError::NoStx;
    } else if (!IsPlausibleLength(frame[1]) || frame.size() != static_cast<std::size_t>(frame[1]) + 2) {
        decoded.error = DecodeError::BadLength;
    } else {
        const DecodeError layout = DecodeBody(frame, decoded.telegram);
        const bool bccGood = BlockCheck(frame.first(frame.size() - 1)) == frame.back();
        decoded.error = bccGood ? layout : DecodeError::BadBcc;
    }
    return decoded;
}

std::vector<std::uint8_t> EncodeTelegram(const Telegram& telegram) {
    std::vector<std::uint8_t> out{kStx, 0, telegram.address};
    if (telegram.kind != TelegramKind::Process) {
        const auto pke = static_cast<std::uint16_t>((telegram.ak & 0x0Fu) << 12 | (telegram.spontaneous ? 0x0800u : 0u) |
                                                    (telegram.pnu & 0x07FFu));
        PutWord(out, pke);
        PutWord(out, telegram.index);
    }
    if (telegram.kind == TelegramKind::Parameter) {
        PutWord(out, static_cast<std::uint16_t>(telegram.value >> 16));
        PutWord(out, static_cast<std::uint16_t>(telegram.value & 0xFFFFu));
    } else if (telegram.kind == TelegramKind::Text) {
        const std::size_t n = std::min(telegram.text.size(), kMaxTextBytes);
        out.insert(out.end(), telegram.text.begin(), telegram.text.begin() + static_cast<std::ptrdiff_t>(n));
    }
    PutWord(out, telegram.pcd1);
    PutWord(out, telegram.pcd2);
    out[1] = static_cast<std::uint8_t>(out.size() + 1 - 2);
    out.push_back(BlockCheck(out));
    return out;
}

}  // namespace korvansim
