#include "link/drive_telegram.h"

#include <algorithm>
#include <numeric>

#include "channels/channel_types.h"
#include "driver/device_state.h"
#include "link/parameter_value.h"

namespace korvan {
namespace {

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kProcessLength = 6;
constexpr uint16_t kNumericIndex = 0x0000;
constexpr uint16_t kTextReadIndex = 0x0400;
constexpr uint16_t kWriteIndex = 0x0500;
constexpr int32_t kParameterReply = 16;
constexpr int32_t kTextReadReply = 30;
constexpr int32_t kProcessReply = 8;
constexpr uint16_t kParameterNumberBits = 0x07FF;  // bit 11 is the drive's spontaneous-message flag
constexpr uint8_t kEnd = 13;

void PutWord(DriveTelegram& t, std::size_t at, uint32_t word) {
    t[at] = static_cast<uint8_t>(word >> 8);
    t[at + 1] = static_cast<uint8_t>(word);
}

bool IsUsableParameter(int32_t parameter) { return parameter >= 0 && parameter <= kHighestParameterNumber; }

// STX, LGE, ADR, PKE and IND of a parameter telegram of `size` bytes (without BCC).
void StartParameterTelegram(DriveTelegram& t, std::size_t size, int32_t address, uint8_t command,
                            int32_t parameter, uint16_t index) {
    t.assign(size, 0);
    t[0] = kStx;
    t[1] = static_cast<uint8_t>(size - 1);
    t[2] = static_cast<uint8_t>(address);
    t[3] = static_cast<uint8_t>(command * 16 + parameter / 256);
    t[4] = static_cast<uint8_t>(parameter % 256);
    PutWord(t, 5, index);
}

// PCD1 and PCD2 at the end: the control word, and the reference × 16384.
void PutProcessData(DriveTelegram& t, std::size_t at, int32_t controlWord, int32_t reference) {
    PutWord(t, at, static_cast<uint32_t>(controlWord));
    PutWord(t, at + 2, static_cast<uint32_t>(reference) * 64u << 8);
}

uint8_t WriteCommand(int32_t dataType, int32_t retain) {
    const bool doubleWord = dataType == kSigned32 || dataType == kUnsigned32;
    if (retain != 0) return doubleWord ? kAkWriteDoubleWordRetained : kAkWriteWordRetained;
    return doubleWord ? kAkWriteDoubleWord : kAkWriteWord;
}

uint8_t Xor(const DriveTelegram& t, std::size_t count) {
    return std::accumulate(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(count), uint8_t{0},
                           [](uint8_t sum, uint8_t byte) { return static_cast<uint8_t>(sum ^ byte); });
}

// What a request asks for, remembered while its buffer carries the reply.
struct RequestShape {
    bool parameter = false;   // a parameter or text telegram, not a process telegram
    bool textRead = false;
    uint16_t number = 0;      // PKE bits 0..10
    std::size_t decodedBytes = 5;  // the reply must hold the fields read from it
};

RequestShape ShapeOf(const DriveTelegram& request) {
    RequestShape shape;
    if (request.size() <= kProcessReply) return shape;
    shape.parameter = true;
    shape.number = static_cast<uint16_t>((request[3] << 8 | request[4]) & kParameterNumberBits);
    shape.textRead = request[3] >> 4 == kAkText && (request[5] << 8 | request[6]) == kTextReadIndex;
    shape.decodedBytes = shape.textRead || request[3] >> 4 == kAkText ? 12 : 11;
    return shape;
}

// A telegram starts with STX, and its length byte counts the bytes after it but the
// check character: noise ahead of a reply, or the end of one telegram run into the
// next, is no reply even where the check character happens to match.
bool IsOneTelegram(const DriveTelegram& reply) {
    return reply[0] == kStx && std::size_t{reply[1]} + 2 == reply.size();
}

int32_t Judge(const RequestShape& shape, const DriveTelegram& reply) {
    if (reply.size() < shape.decodedBytes || !IsOneTelegram(reply)) return kBadReply;
    if (!shape.parameter) return static_cast<int32_t>(reply.size());
    const uint8_t command = reply[3] >> 4;
    if (command == kAkCannotExecute || command == kAkNoChangeAccess) return kRefused;
    const uint16_t number = static_cast<uint16_t>((reply[3] << 8 | reply[4]) & kParameterNumberBits);
    if (number != shape.number) return kBadReply;
    return static_cast<int32_t>(reply.size());
}

// A reply of at most `limit` bytes that is whole once it holds the telegram its start
// byte and length byte announce: a text, whose length the request cannot know. Until
// the length byte has come, the three header bytes are what is missing.
class AnnouncedTelegram final : public ReplyEnd {
public:
    explicit AnnouncedTelegram(uint32_t limit) : limit_(limit) {}

    bool Reached(const ByteBuffer& gathered) const override { return gathered.size() >= Length(gathered); }
    uint32_t Missing(const ByteBuffer& gathered) const override {
        const std::size_t wanted = gathered.size() < kHeaderBytes ? std::min<std::size_t>(kHeaderBytes, limit_)
                                                                  : Length(gathered);
        return wanted > gathered.size() ? static_cast<uint32_t>(wanted - gathered.size()) : 0;
    }

private:
    static constexpr std::size_t kHeaderBytes = 3;  // STX, LGE, ADR
    // The whole reply's length as far as it is known: the announced one once the start
    // and length bytes are in, never more than the limit.
    std::size_t Length(const ByteBuffer& gathered) const {
        if (gathered.size() < 2 || gathered[0] != kStx) return limit_;
        return std::min<std::size_t>(std::size_t{gathered[1]} + 2, limit_);
    }
    uint32_t limit_;
};

uint32_t WaitTime(const DeviceInstance& device) {
    const DeviceState* state = StateOf(device);
    const int32_t wait = state != nullptr ? state->Setting(kWaitTime) : kDefaultWaitTimeMs;
    // A negative wait time would give up before the request has left the port: the
    // default stands in for it, while the property keeps what the user stored.
    return static_cast<uint32_t>(wait < 0 ? kDefaultWaitTimeMs : wait);
}

}  // namespace

int32_t BuildReadTelegram(DriveTelegram& telegram, int32_t address, int32_t parameter, int32_t dataType) {
    const bool text = dataType == kText;
    telegram.clear();
    if (!IsUsableParameter(parameter)) return text ? kTextReadReply : kParameterReply;
    StartParameterTelegram(telegram, 15, address, text ? kAkText : kAkRead, parameter,
                           text ? kTextReadIndex : kNumericIndex);
    return text ? kTextReadReply : kParameterReply;
}

int32_t BuildWriteTelegram(DriveTelegram& telegram, int32_t address, int32_t parameter, int32_t dataType,
                           int32_t retain, double value, int32_t controlWord, int32_t reference) {
    telegram.clear();
    if (!IsUsableParameter(parameter) || !ValueFitsType(value, dataType)) return kParameterReply;
    StartParameterTelegram(telegram, 15, address, WriteCommand(dataType, retain), parameter, kWriteIndex);
    const auto field = EncodeParameterValue(value, dataType);
    std::copy(field.begin(), field.end(), telegram.begin() + 7);
    PutProcessData(telegram, 11, controlWord, reference);
    return kParameterReply;
}

int32_t BuildTextWriteTelegram(DriveTelegram& telegram, int32_t address, int32_t parameter,
                               std::u16string_view text, int32_t controlWord, int32_t reference) {
    ByteBuffer bytes;
    TextToBytes(text, bytes);
    const std::size_t n = bytes.size();
    telegram.clear();
    if (!IsUsableParameter(parameter) || n > kMaxTextBytes) return static_cast<int32_t>(n + 12);
    StartParameterTelegram(telegram, n + 11, address, kAkText, parameter, kWriteIndex);
    std::copy(bytes.begin(), bytes.end(), telegram.begin() + 7);
    PutProcessData(telegram, 7 + n, controlWord, reference);
    return static_cast<int32_t>(n + 12);
}

int32_t BuildProcessTelegram(DriveTelegram& telegram, int32_t address, int32_t controlWord, int32_t reference) {
    telegram.assign(7, 0);
    telegram[0] = kStx;
    telegram[1] = kProcessLength;
    telegram[2] = static_cast<uint8_t>(address);
    PutProcessData(telegram, 3, controlWord, reference);
    return kProcessReply;
}

int32_t AppendBcc(DriveTelegram& telegram) {
    if (telegram.size() < 4) return 0;
    telegram.push_back(Xor(telegram, telegram.size()));
    return 1;
}

int32_t CheckBcc(const DriveTelegram& telegram) {
    if (telegram.size() < 4) return 0;
    return Xor(telegram, telegram.size() - 1) == telegram.back() ? 1 : 0;
}

int32_t ExchangeTelegram(const DeviceInstance& device, SerialIo& io, DriveTelegram& telegram,
                         int32_t expectedLength) {
    const RequestShape shape = ShapeOf(telegram);
    if (AppendBcc(telegram) == 0) return kUnusableRequest;
    const auto length = static_cast<uint32_t>(expectedLength);
    const int32_t n = shape.textRead
                          ? SerialTransactUntil(device, io, telegram, WaitTime(device), AnnouncedTelegram(length))
                          : SerialTransact(device, io, telegram, WaitTime(device), kReadCount, length, kEnd);
    if (n <= 0) return kNoReply;
    if (CheckBcc(telegram) == 0) return kBadReply;
    return Judge(shape, telegram);
}

}  // namespace korvan
