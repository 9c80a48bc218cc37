#include "tools/korvan-host/line/meanings.h"

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

std::string StatusWordText(uint16_t word) {
    // Bits 4 to 6 are reserved; each other bit is named by what it says when set.
    static const char* const kSet[16] = {"control ready", "drive ready", "enabled", "trip", nullptr, nullptr,
                                         nullptr, "warning", "on reference", "bus control", "frequency ok",
                                         "running", "stalling", "voltage above limit", "torque above limit",
                                         "timer above limit"};
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(word));
    std::string names;
    for (int bit = 0; bit < 16; ++bit) {
        if ((word >> bit & 1) == 0) continue;
        names += names.empty() ? "" : ", ";
        names += kSet[bit] != nullptr ? kSet[bit] : "bit " + std::to_string(bit);
    }
    return std::string(hex) + (names.empty() ? "" : " (" + names + ")");
}

std::string MainActualPercent(uint16_t pcd2) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", static_cast<int16_t>(pcd2) * 100.0 / 16384.0);
    return text;
}

std::string MainActualText(uint16_t pcd2) { return MainActualPercent(pcd2) + " %"; }

std::string CommandMeaning(double result) {
    if (result == 0.0) return "done";
    if (result == 100.0) return "write failed";
    if (result == 300.0) return "unusable arguments";
    return CommunicationMeaning(result);
}

}  // namespace korvanhost
