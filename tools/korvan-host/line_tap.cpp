#include "tools/korvan-host/line_tap.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <limits>
#include <vector>

#include "tools/korvan-sim/telegram_codec.h"
#include "tools/korvan-sim/telegram_framer.h"
#include "tools/korvan-sim/trace_format.h"

namespace korvanhost {
namespace {

constexpr int64_t kStallNs = 50'000'000;

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One direction of the line: bytes read from `from` go to `to` and through a framer.
struct Direction {
    int from;
    int to;
    const char* arrow;
    korvansim::TelegramFramer framer{kStallNs};
};

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// What the error number of a refusal (AK 7) means, as the drive's manual words it.
std::string RefusalMeaning(uint32_t error) {
    namespace r = korvansim::refusal;
    switch (error) {
        case r::kUnknownParameter: return "the parameter does not exist";
        case r::kNoWriteAccess: return "no write access to the parameter";
        case r::kExceedsLimits: return "the value exceeds the parameter's limits";
        case r::kNoSuchIndex: return "the index does not exist";
        case r::kNotAnArray: return "the parameter is not an array";
        case r::kWrongDataType: return "the data type does not match the parameter";
        case r::kNotInPresentMode: return "cannot be changed in the drive's present mode (motor running?)";
        case r::kNoBusAccess: return "no bus access to the parameter";
        case 131: return "factory setup selected: no change possible";
        default: return "error " + std::to_string(error);
    }
}

constexpr uint8_t kAkRefused = 7;

std::string Describe(const korvansim::FramerEvent& event) {
    using Kind = korvansim::FramerEvent::Kind;
    if (event.kind == Kind::Telegram) {
        const korvansim::Telegram telegram = korvansim::DecodeTelegram(event.bytes).telegram;
        std::string text = korvansim::DescribeTelegram(telegram, true);
        if (telegram.kind != korvansim::TelegramKind::Process && telegram.ak == kAkRefused) {
            text += "  refused: " + RefusalMeaning(telegram.value & 0xFFFF);
        }
        return text;
    }
    if (event.kind == Kind::BadBcc) {
        return korvansim::DescribeTelegram(korvansim::DecodeTelegram(event.frame).telegram, false);
    }
    return std::string(korvansim::FramerEventName(event.kind));
}

}  // namespace

LineTap::LineTap(int lineFd, Printer print, int64_t replyWaitMs)
    : lineFd_(lineFd), print_(std::move(print)), replyWaitMs_(replyWaitMs) {
    auto pty = korvansim::OpenPseudoTerminal();
    int pipeEnds[2];
    if (!pty || pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    stopRead_ = korvansim::UniqueFd(pipeEnds[0]);
    stopWrite_ = korvansim::UniqueFd(pipeEnds[1]);
    tapEnd_ = std::move(pty->fd);
    driverEnd_ = std::move(pty->keepAlive);
    thread_ = std::thread([this] { Relay(); });
}

LineTap::~LineTap() {
    if (thread_.joinable()) {
        const uint8_t stop = 1;
        WriteAll(stopWrite_.Get(), &stop, 1);
        thread_.join();
    }
}

void LineTap::Relay() {
    const int64_t start = NowNs();
    Direction toDrive{tapEnd_.Get(), lineFd_, "->"};
    Direction fromDrive{lineFd_, tapEnd_.Get(), "<-"};
    std::vector<korvansim::FramerEvent> events;
    int64_t requestNs = -1;  // when the last request still waiting for its reply went out
    const auto show = [&](const Direction& direction, const korvansim::FramerEvent& event) {
        print_(korvansim::FormatTime((event.lastNs - start) / 1000) + " " + direction.arrow + " " +
               korvansim::HexBytes(event.bytes) + "  | " + Describe(event));
    };
    for (;;) {
        pollfd watch[3] = {{stopRead_.Get(), POLLIN, 0}, {toDrive.from, POLLIN, 0}, {fromDrive.from, POLLIN, 0}};
        poll(watch, 3, 20);
        if (watch[0].revents != 0) return;
        const bool hungUp = ((watch[1].revents | watch[2].revents) & (POLLHUP | POLLERR)) != 0;
        if (hungUp) usleep(10000);  // a closed end: keep relaying the other without spinning
        for (Direction* direction : {&toDrive, &fromDrive}) {
            uint8_t chunk[512];
            const int slot = direction == &toDrive ? 1 : 2;
            const ssize_t got = (watch[slot].revents & POLLIN) ? ::read(direction->from, chunk, sizeof chunk) : 0;
            const int64_t now = NowNs();
            events.clear();
            if (got > 0) {
                WriteAll(direction->to, chunk, static_cast<std::size_t>(got));
                direction->framer.Push({chunk, static_cast<std::size_t>(got)}, now, events);
            }
            direction->framer.Expire(now, events);
            for (const auto& event : events) {
                const bool telegram = event.kind == korvansim::FramerEvent::Kind::Telegram;
                if (direction == &toDrive && telegram) {
                    // Each request starts the reply afresh: what is left of an earlier
                    // reply is shown as it is, and never joins the next one.
                    std::vector<korvansim::FramerEvent> leftovers;
                    fromDrive.framer.Expire(std::numeric_limits<int64_t>::max(), leftovers);
                    for (const auto& leftover : leftovers) show(fromDrive, leftover);
                    fromDrive.framer = korvansim::TelegramFramer(kStallNs);
                    requestNs = event.lastNs;
                }
                if (direction == &fromDrive) requestNs = -1;
                show(*direction, event);
            }
        }
        if (requestNs >= 0 && NowNs() - requestNs > replyWaitMs_ * 1'000'000) {
            print_(korvansim::FormatTime((NowNs() - start) / 1000) + " -- no reply in " +
                   std::to_string(replyWaitMs_) + " ms");
            requestNs = -1;
        }
    }
}

}  // namespace korvanhost
