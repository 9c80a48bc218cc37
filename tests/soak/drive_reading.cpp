#include "tests/soak/drive_reading.h"

#include "fuzz/reply_reference.h"
#include "tests/soak/soak_plan.h"
#include "tools/korvan-sim/telegram_codec.h"

namespace korvansoak {

std::vector<uint8_t> ReplyAsBuilt(const korvansim::ReplyRecord& record) {
    korvansim::Telegram telegram;
    telegram.kind = record.kind;
    telegram.address = record.address;
    telegram.ak = record.ak;
    telegram.pnu = record.pnu;
    telegram.index = record.index;
    telegram.value = record.value;
    telegram.text = record.text;
    telegram.pcd1 = record.statusWord;
    telegram.pcd2 = record.mainActual;
    return korvansim::EncodeTelegram(telegram);
}

bool GivesValueOf(const korvansim::ReplyRecord& record, uint16_t pnu) {
    return !record.bytes.empty() && record.kind != korvansim::TelegramKind::Process &&
           record.ak != korvansim::ak::kCannotExecute && record.pnu == pnu;
}

Reading ReadingOf(const std::vector<uint8_t>& reply, int32_t type, double factor) {
    Reading reading;
    if (type == kTextType) reading.text = korvanfuzz::ReplyText(reply);
    else reading.value = korvanfuzz::ReplyValue(reply, type, factor);
    reading.statusWord = korvanfuzz::ReplyStatus(reply);
    reading.mainActual = korvanfuzz::ReplyMainActual(reply);
    return reading;
}

int64_t RawValueOf(const korvansim::ReplyRecord& record, int32_t type) {
    return static_cast<int64_t>(korvanfuzz::ReplyValue(ReplyAsBuilt(record), type, 1.0));
}

}  // namespace korvansoak
