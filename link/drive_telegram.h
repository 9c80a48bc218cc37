// The drive's telegrams (FC protocol): builders for read, write, text and process
// requests, the XOR block check character, and the exchange of one request for one
// checked reply.
#pragma once

#include <cstdint>
#include <string_view>

#include "channels/channel_types.h"
#include "link/serial_transaction.h"

namespace korvan {

using DriveTelegram = ByteBuffer;

// Parameter commands (AK) of requests, and of the drive's replies that refuse one.
enum ParameterCommand : uint8_t {
    kAkRead = 1, kAkWriteWord = 2, kAkWriteDoubleWord = 3, kAkWriteDoubleWordRetained = 13,
    kAkWriteWordRetained = 14, kAkText = 15, kAkCannotExecute = 7, kAkNoChangeAccess = 8,
};
inline constexpr std::size_t kMaxTextBytes = 245;  // what the one-byte length can announce

// Exchange results besides the reply length.
enum ExchangeResult : int32_t { kUnusableRequest = -1, kNoReply = -2, kBadReply = -3, kRefused = -4 };

// Each builder fills an empty buffer (without the check character) and returns the
// reply length to wait for. A request the drive cannot be sent (parameter number
// outside 0..4095, text over 245 bytes, a numeric write of a type outside 0..4 or of
// a value that does not fit the type) leaves the buffer empty: its exchange is
// refused as unusable and nothing goes on the line.
int32_t BuildReadTelegram(DriveTelegram& telegram, int32_t address, int32_t parameter, int32_t dataType);
int32_t BuildWriteTelegram(DriveTelegram& telegram, int32_t address, int32_t parameter, int32_t dataType,
                           int32_t retain, double value, int32_t controlWord, int32_t reference);
int32_t BuildTextWriteTelegram(DriveTelegram& telegram, int32_t address, int32_t parameter,
                               std::u16string_view text, int32_t controlWord, int32_t reference);
int32_t BuildProcessTelegram(DriveTelegram& telegram, int32_t address, int32_t controlWord, int32_t reference);

// 1 after appending the XOR of all bytes, 0 for fewer than 4 bytes.
int32_t AppendBcc(DriveTelegram& telegram);
// 1 when the last byte is the XOR of all before it, 0 otherwise or for fewer than 4 bytes.
int32_t CheckBcc(const DriveTelegram& telegram);

// Sends the request with its check character and replaces it with the reply: the
// reply's length, or kUnusableRequest, kNoReply, kBadReply (check character, length,
// no start byte or a length byte that disagrees, or a reply for another parameter) or
// kRefused (the drive cannot execute it).
int32_t ExchangeTelegram(const DeviceInstance& device, SerialIo& io, DriveTelegram& telegram,
                         int32_t expectedLength);

}  // namespace korvan
