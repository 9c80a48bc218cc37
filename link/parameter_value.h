// Parameter values as the drive carries them: integers of the parameter's data type,
// right-aligned and big-endian in the value field; texts in the system code page.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/serial_transaction.h"

namespace korvan {

// True when `value` (already divided by the factor) is finite and, truncated toward
// zero, lies in the range of data type 0..4: only such a value is ever sent.
bool ValueFitsType(double value, int32_t dataType);
// The integer that a numeric write sends for `value` (already divided by the
// factor): truncated toward zero, as `digits` upper-case hexadecimal digits chosen by
// the type's format letter. Writes are built only for values that fit; any other is
// held to the type's range (NaN gives 0), never wrapped around.
std::string ValueToHexDigits(double value, char formatLetter, int32_t digits);
// The four value-field bytes of a numeric write, the bytes the type does not use 0.
std::array<uint8_t, 4> EncodeParameterValue(double value, int32_t dataType);
// The engineering value of a numeric reply (raw × factor), read from the fixed
// offsets of the type. The reply holds at least 11 bytes.
double DecodeParameterValue(const ByteBuffer& reply, int32_t dataType, double factor);
// The text of a text reply: bytes 7 .. length-6, ending at the first 0 byte.
std::u16string DecodeParameterText(const ByteBuffer& reply);

// The status word and main actual value, both located from the end of any reply of
// at least 5 bytes: PCD1, and PCD2 integer-divided by 16384 (0 to 3).
uint16_t ReplyStatusWord(const ByteBuffer& reply);
int32_t ReplyMainActualValue(const ByteBuffer& reply);

// Wide text to code-page bytes (no terminator) and back.
int32_t TextToBytes(std::u16string_view text, ByteBuffer& bytes);
int32_t BytesToText(ByteBuffer& bytes, std::u16string& text);
// The text read as a single-precision decimal number ("%f"), widened; 0 when the text
// does not begin with a number.
double DecimalTextToValue(std::u16string_view text);

}  // namespace korvan
