#include "tools/korvan-host/host_line.h"

#include <cstdio>
#include <mutex>

#include "tools/korvan-host/host_system.h"

namespace korvanhost {

void PrintLine(const std::string& line) {
    static std::mutex printing;
    std::lock_guard<std::mutex> lock(printing);
    WriteText(stdout, line + "\n");
    std::fflush(stdout);
}

std::optional<korvansim::Framing> LineSettings(const Options& options, std::string& error) {
    const auto framing = korvansim::ParseFraming(options.framing);
    if (!framing) {
        error = "unknown framing '" + options.framing + "' (8E1, 8N1, 8N2 or 8O1)";
        return std::nullopt;
    }
    if (!korvansim::IsSupportedBaud(options.baud)) {
        error = "baud rate " + std::to_string(options.baud) + " is not one the drive offers (see parameter 501)";
        return std::nullopt;
    }
    return framing;
}

}  // namespace korvanhost
