#include "tools/korvan-host/line/host_line.h"

#include <cstdio>
#include <mutex>
#include <utility>

#include "tools/korvan-host/line/line_tap.h"

#include "tools/korvan-host/host_system.h"

namespace korvanhost {

void PrintLine(const std::string& line) {
    static std::mutex printing;
    std::lock_guard<std::mutex> lock(printing);
    WriteText(stdout, line + "\n");
    std::fflush(stdout);
}

void LineWatch::Note(const ReplyNote& reply) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!reply.refusal.empty()) refusal_ = reply.refusal;
    mainActual_[reply.address] = reply.mainActual;
}

std::string LineWatch::TakeRefusal() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(refusal_, {});
}

std::optional<uint16_t> LineWatch::MainActual(uint8_t address) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = mainActual_.find(address);
    return found == mainActual_.end() ? std::nullopt : std::optional<uint16_t>(found->second);
}

std::unique_ptr<LineTap> TapFor(const Options& options, KorvanPortHandle port, void* driverModule, LineWatch& watch,
                                std::string& error) {
    TelegramLog::Printer print;
    if (options.trace) print = PrintLine;
    auto tap = std::make_unique<LineTap>(port, driverModule, print, 200,
                                         [&watch](const ReplyNote& reply) { watch.Note(reply); });
    if (tap->Error().empty()) return tap;
    if (options.trace) error = tap->Error();
    return nullptr;
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
