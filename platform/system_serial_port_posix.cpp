// The serial port as a tty file descriptor: one write() per request, FIONREAD for the
// queued count, read() of exactly that many bytes, TIOCGICOUNT deltas for line errors
// where the tty keeps them (a pty does not: no line errors), poll() to wake on input.
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/clock.h"
#include "platform/serial_wait_style.h"
#include "platform/system_serial_port.h"

namespace korvan::platform {
namespace {

void SleepMicroseconds(int64_t microseconds) {
    timespec delay{static_cast<time_t>(microseconds / 1000000), static_cast<long>(microseconds % 1000000) * 1000L};
    while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
    }
}

void SleepMilliseconds(uint32_t milliseconds) { SleepMicroseconds(int64_t{milliseconds} * 1000); }

int64_t NowMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// Sleeping through this share of the bytes still missing, at the rate seen so far,
// does not overshoot the reply's last byte even when the rate was seen a quarter
// slow; the remaining bytes wake the wait as they come. The rate counts once a few
// bytes have come after the first read, and a gather never lasts longer than the
// reply has taken so far, so a rate misjudged from a burst costs little.
constexpr double kGatherShare = 0.75;
constexpr int64_t kShortestGatherUs = 150;
constexpr uint32_t kBytesForRate = 3;

}  // namespace

bool SystemSerialPort::Write(std::span<const uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(handle_, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

PortStatus SystemSerialPort::QueryAndClearErrors() {
    PortStatus status;
    serial_icounter_struct counters{};
    if (ioctl(handle_, TIOCGICOUNT, &counters) == 0) {
        const uint64_t errors = static_cast<uint64_t>(counters.frame) + static_cast<uint64_t>(counters.overrun) +
                                static_cast<uint64_t>(counters.parity) + static_cast<uint64_t>(counters.brk) +
                                static_cast<uint64_t>(counters.buf_overrun);
        status.lineErrors = haveCounters_ && errors != errorCount_;
        errorCount_ = errors;
        haveCounters_ = true;
    }
    int queued = 0;
    if (ioctl(handle_, FIONREAD, &queued) == 0 && queued > 0) status.queued = static_cast<uint32_t>(queued);
    return status;
}

bool SystemSerialPort::Read(std::span<uint8_t> into) {
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t got = ::read(handle_, into.data() + done, into.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    lastReadUs_ = NowMicroseconds();
    if (bytesRead_ == 0) {
        firstReadUs_ = lastReadUs_;
        firstReadBytes_ = static_cast<uint32_t>(into.size());
    }
    bytesRead_ += static_cast<uint32_t>(into.size());
    return true;
}

double SystemSerialPort::MicrosecondsPerByte() const {
    const uint32_t later = bytesRead_ - firstReadBytes_;
    if (later < kBytesForRate || lastReadUs_ <= firstReadUs_) return 0.0;
    return static_cast<double>(lastReadUs_ - firstReadUs_) / later;
}

void SystemSerialPort::DiscardInput() {
    tcflush(handle_, TCIFLUSH);
    QueryAndClearErrors();  // errors of the discarded input are not the next reply's
}

void SystemSerialPort::WaitForInput(uint32_t milliseconds) {
    if (BuildWaitStyle() == WaitStyle::PlainSleep) {
        SleepMilliseconds(milliseconds);
        return;
    }
    // A reply that trickles in at the line's pace is let gather instead of waking on
    // every byte.
    const double perByte = MicrosecondsPerByte();
    if (perByte > 0.0 && missing_ >= 2) {
        const int64_t longest = std::min<int64_t>(NowMicroseconds() - firstReadUs_, int64_t{milliseconds} * 1000);
        const int64_t gather = std::min(static_cast<int64_t>(kGatherShare * perByte * (missing_ - 1)), longest);
        if (gather >= kShortestGatherUs) {
            SleepMicroseconds(gather);
            return;
        }
    }
    pollfd watch{handle_, POLLIN, 0};
    const int timeout = static_cast<int>(milliseconds);
    if (poll(&watch, 1, timeout) < 0 || (watch.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        SleepMilliseconds(milliseconds);  // nothing to wait on: pace the polling by time alone
    }
}

uint32_t SystemClock::TickCount() { return platform::TickCount(); }

void SystemClock::Sleep(uint32_t milliseconds) { SleepMilliseconds(milliseconds); }

}  // namespace korvan::platform
