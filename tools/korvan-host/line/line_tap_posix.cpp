// The tap of a pseudo-terminal: the driver writes to and reads from its end, and a
// thread relays every byte between the pty and the real line.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "tools/korvan-host/line/line_tap.h"
#include "tools/korvan-sim/serial_port.h"

namespace korvanhost {
namespace {

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

}  // namespace

struct LineTap::Tap {
    Tap(int line, TelegramLog::Printer print, int64_t replyWaitMs, TelegramLog::ReplyWatcher replies)
        : lineFd(line), log(std::move(print), replyWaitMs, std::move(replies)) {}
    void Relay();

    int lineFd;
    TelegramLog log;
    std::string error;
    korvansim::UniqueFd tapEnd;
    korvansim::UniqueFd driverEnd;
    korvansim::UniqueFd stopRead;
    korvansim::UniqueFd stopWrite;
    std::thread thread;
};

LineTap::LineTap(KorvanPortHandle line, void*, TelegramLog::Printer print, int64_t replyWaitMs,
                 TelegramLog::ReplyWatcher replies)
    : tap_(std::make_unique<Tap>(line, std::move(print), replyWaitMs, std::move(replies))) {
    auto pty = korvansim::OpenPseudoTerminal();
    int pipeEnds[2];
    if (!pty || pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        tap_->error = "cannot open a pseudo-terminal to tap the line";
        return;
    }
    tap_->stopRead = korvansim::UniqueFd(pipeEnds[0]);
    tap_->stopWrite = korvansim::UniqueFd(pipeEnds[1]);
    tap_->tapEnd = std::move(pty->fd);
    tap_->driverEnd = std::move(pty->keepAlive);
    tap_->thread = std::thread([tap = tap_.get()] { tap->Relay(); });
}

LineTap::~LineTap() {
    if (tap_->thread.joinable()) {
        const uint8_t stop = 1;
        WriteAll(tap_->stopWrite.Get(), &stop, 1);
        tap_->thread.join();
    }
}

const std::string& LineTap::Error() const { return tap_->error; }

KorvanPortHandle LineTap::DriverHandle() const { return tap_->driverEnd.Get(); }

void LineTap::Tap::Relay() {
    struct Direction {
        int from;
        int to;
        TelegramLog::Way way;
    };
    const Direction toDrive{tapEnd.Get(), lineFd, TelegramLog::Way::ToDrive};
    const Direction fromDrive{lineFd, tapEnd.Get(), TelegramLog::Way::FromDrive};
    for (;;) {
        pollfd watch[3] = {{stopRead.Get(), POLLIN, 0}, {toDrive.from, POLLIN, 0}, {fromDrive.from, POLLIN, 0}};
        poll(watch, 3, 20);
        if (watch[0].revents != 0) return log.Finish(TelegramLog::NowNs());
        const bool hungUp = ((watch[1].revents | watch[2].revents) & (POLLHUP | POLLERR)) != 0;
        if (hungUp) usleep(10000);  // a closed end: keep relaying the other without spinning
        for (const Direction* direction : {&toDrive, &fromDrive}) {
            uint8_t chunk[512];
            const int slot = direction == &toDrive ? 1 : 2;
            const ssize_t got = (watch[slot].revents & POLLIN) ? ::read(direction->from, chunk, sizeof chunk) : 0;
            const int64_t now = TelegramLog::NowNs();
            const std::size_t size = got > 0 ? static_cast<std::size_t>(got) : 0;
            // Logged before it is passed on: a refusal is noted before the driver can
            // read the reply and its call return.
            log.Pass(direction->way, {chunk, size}, now);
            if (size > 0) WriteAll(direction->to, chunk, size);
        }
        log.CheckReply(TelegramLog::NowNs());
    }
}

}  // namespace korvanhost
