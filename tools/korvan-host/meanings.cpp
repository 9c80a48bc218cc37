#include "tools/korvan-host/meanings.h"

#include <cstdio>

namespace korvanhost {

std::string CommunicationMeaning(double status) {
    if (status == 0.0) return "ok";
    if (status == 1.0) return "request unusable";
    if (status == 2.0) return "no reply";
    if (status == 3.0) return "bad check character or reply";
    if (status == 4.0) return "refused by the drive";
    return "unknown";
}

std::string StatusText(double status, const std::string& meaning) {
    char number[32];
    std::snprintf(number, sizeof number, "%g", status);
    return std::string(number) + " " + meaning;
}

std::string CommandMeaning(double result) {
    if (result == 0.0) return "done";
    if (result == 100.0) return "write failed";
    if (result == 300.0) return "unusable arguments";
    return CommunicationMeaning(result);
}

}  // namespace korvanhost
