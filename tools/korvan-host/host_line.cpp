#include "tools/korvan-host/host_line.h"

#include <cstdio>
#include <mutex>

#include "tools/korvan-host/line_tap.h"

namespace korvanhost {

void PrintLine(const std::string& line) {
    static std::mutex printing;
    std::lock_guard<std::mutex> lock(printing);
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::unique_ptr<LineTap> TapFor(const Options& options, KorvanPortHandle port, void* driverModule,
                                RefusalNote& refusals, std::string& error) {
    // The commands that say why the drive refused a request need the tap too.
    const bool refusalsShown = options.command == "exec" || options.command == "backup" ||
                               options.command == "diff" || options.command == "restore";
    if (!options.trace && !refusalsShown) return nullptr;
    TelegramLog::Printer print;
    if (options.trace) print = PrintLine;
    auto tap = std::make_unique<LineTap>(port, driverModule, print, 200,
                                         [&refusals](const std::string& reason) { refusals.Note(reason); });
    if (!tap->Error().empty()) {
        error = tap->Error();
        return nullptr;
    }
    return tap;
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
