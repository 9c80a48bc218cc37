// What the numbers the driver reports mean, for people reading the host's output.
#pragma once

#include <cstdint>
#include <string>

namespace korvanhost {

// The communication status in values element 0 after a collection call.
std::string CommunicationMeaning(double status);
// Element 0 of a command's results.
std::string CommandMeaning(double result);
// "2 no reply": the number followed by its meaning, as every output shows a status.
std::string StatusText(double status, const std::string& meaning);
// The drive's status word in hexadecimal with the bits it sets named as the FC profile
// names them: "0x0607 (control ready, drive ready, enabled, bus control, frequency ok)".
std::string StatusWordText(uint16_t word);
// A reply's main actual value (PCD2, 16384 is 100 % of the maximum) as a percentage,
// the number alone ("100", "-50") and with its sign ("100 %").
std::string MainActualPercent(uint16_t pcd2);
std::string MainActualText(uint16_t pcd2);

}  // namespace korvanhost
