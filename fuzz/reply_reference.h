// The reply a master may take for a request, read independently of the driver: the
// bytes the driver gathered, whether the protocol lets it accept them, and the values
// they carry. The line targets hold the driver's stored values against this reading.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace korvanfuzz {

// The reply length the driver waits for after `request` (with its check character):
// 30 for a text read, otherwise as long as the request.
std::size_t ExpectedReplyLength(const std::vector<uint8_t>& request);
// What the driver took of what it read: the first ExpectedReplyLength bytes, a text
// only as far as its start and length bytes announce.
std::vector<uint8_t> TakenReply(const std::vector<uint8_t>& request, const std::vector<uint8_t>& delivered);

// A reply the master may accept as the answer to `request`: a telegram (the start
// byte, a length byte that counts the bytes after it but the check character) long
// enough for the fields it reads, a matching check character, not a refusal (command
// 7 or 8), and for a parameter request the same parameter number.
bool IsAcceptable(const std::vector<uint8_t>& request, const std::vector<uint8_t>& reply);

// The value field as the data type (0..4) lays it out, times `factor`.
double ReplyValue(const std::vector<uint8_t>& reply, int32_t dataType, double factor);
std::u16string ReplyText(const std::vector<uint8_t>& reply);
// PCD1, and PCD2 / 16384, counted from the end of the reply.
double ReplyStatus(const std::vector<uint8_t>& reply);
double ReplyMainActual(const std::vector<uint8_t>& reply);

}  // namespace korvanfuzz
