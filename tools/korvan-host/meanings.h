// What the numbers the driver reports mean, for people reading the host's output.
#pragma once

#include <string>

namespace korvanhost {

// The communication status in values element 0 after a collection call.
std::string CommunicationMeaning(double status);
// Element 0 of a command's results.
std::string CommandMeaning(double result);
// "2 no reply": the number followed by its meaning, as every output shows a status.
std::string StatusText(double status, const std::string& meaning);

}  // namespace korvanhost
