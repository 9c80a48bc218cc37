// The serial port as a tty file descriptor: one write() per request, FIONREAD for the
// queued count, read() of exactly that many bytes, TIOCGICOUNT deltas for line errors
// where the tty keeps them (a pty does not: no line errors), poll() to wake on input,
// and a sleep through the time the rest of a reply takes at the line's speed once its
// first byte has come.
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "platform/system/clock.h"
#include "platform/system/serial_wait_style.h"
#include "platform/system/system_serial_port.h"

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

// Once a reply has begun, the bytes it still lacks cannot come faster than the line's
// speed allows: sleeping through that time wakes the thread once for all of them. The
// speed the host set on the tty gives the time a byte takes; once a few bytes have
// come after the first read, the rate they came at takes over. Sleeping through this
// share of the rest at that rate does not overshoot the reply's last byte even when
// the rate was seen a quarter slow, and such a gather never lasts longer than the
// reply has taken so far, so a rate misjudged from a burst costs little. Whatever
// still lacks then wakes the wait as it comes.
constexpr double kSeenRateShare = 0.75;
constexpr int64_t kShortestGatherUs = 150;
constexpr uint32_t kBytesForRate = 3;

// Microseconds a character takes at the speed and framing the tty is set to; 0 when
// the descriptor is no tty or names no speed.
double ConfiguredMicrosecondsPerByte(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return 0.0;
    struct Speed {
        speed_t code;
        uint32_t baud;
    };
    constexpr Speed kSpeeds[] = {{B300, 300},     {B600, 600},     {B1200, 1200},   {B2400, 2400},
                                 {B4800, 4800},   {B9600, 9600},   {B19200, 19200}, {B38400, 38400},
                                 {B57600, 57600}, {B115200, 115200}, {B230400, 230400}};
    const speed_t code = cfgetispeed(&settings);
    uint32_t baud = 0;
    for (const Speed& speed : kSpeeds) {
        if (speed.code == code) baud = speed.baud;
    }
    if (baud == 0) return 0.0;
    const tcflag_t size = settings.c_cflag & CSIZE;
    const uint32_t dataBits = size == CS5 ? 5 : size == CS6 ? 6 : size == CS7 ? 7 : 8;
    const uint32_t bits = 1 + dataBits + ((settings.c_cflag & PARENB) != 0 ? 1 : 0) +
                          ((settings.c_cflag & CSTOPB) != 0 ? 2 : 1);
    return 1e6 * bits / baud;
}

// Sets O_NONBLOCK on a descriptor for the life of the object, where it was not set.
class NonBlockingWrites {
public:
    explicit NonBlockingWrites(int fd) : fd_(fd), flags_(fcntl(fd, F_GETFL)) {
        if (Changes()) fcntl(fd_, F_SETFL, flags_ | O_NONBLOCK);
    }
    ~NonBlockingWrites() {
        if (Changes()) fcntl(fd_, F_SETFL, flags_);
    }
    NonBlockingWrites(const NonBlockingWrites&) = delete;
    NonBlockingWrites& operator=(const NonBlockingWrites&) = delete;

private:
    bool Changes() const { return flags_ >= 0 && (flags_ & O_NONBLOCK) == 0; }
    int fd_;
    int flags_;
};

// true when the port can take more output before the deadline (microseconds).
bool WaitForRoom(int fd, int64_t deadline) {
    for (;;) {
        const int64_t left = deadline - NowMicroseconds();
        if (left <= 0) return false;
        pollfd watch{fd, POLLOUT, 0};
        const int ready = poll(&watch, 1, static_cast<int>((left + 999) / 1000));
        if (ready < 0 && errno == EINTR) continue;
        return ready > 0 && (watch.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
    }
}

}  // namespace

struct SystemSerialPort::Pace {
    // The time one byte took to arrive, from the reads so far (0: not known yet).
    double SeenMicrosecondsPerByte() const;
    // How long the missing bytes may be let gather; 0 when not at all.
    int64_t GatherUs(const InputWait& wait, int fd);

    double configuredUsPerByte = -1.0;  // from the tty's settings, once asked (0: none)
    int64_t firstReadUs = 0;      // when the first bytes were read …
    uint32_t firstReadBytes = 0;  // … and how many
    int64_t lastReadUs = 0;
    uint32_t bytesRead = 0;
    bool haveCounters = false;
    uint64_t errorCount = 0;  // the line's error counters at the last query
};

SystemSerialPort::SystemSerialPort(KorvanPortHandle handle) : handle_(handle), pace_(std::make_unique<Pace>()) {}

SystemSerialPort::~SystemSerialPort() = default;

bool SystemSerialPort::Write(std::span<const uint8_t> bytes, uint32_t timeoutMs) {
    // The host's descriptor may block for good on a line held by flow control: it
    // does not block during this write, which waits for room until the deadline.
    const NonBlockingWrites nonBlocking(handle_);
    const int64_t deadline = NowMicroseconds() + int64_t{timeoutMs} * 1000;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(handle_, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written == 0 || (errno != EAGAIN && errno != EWOULDBLOCK) || !WaitForRoom(handle_, deadline)) {
            return false;
        }
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
        status.lineErrors = pace_->haveCounters && errors != pace_->errorCount;
        pace_->errorCount = errors;
        pace_->haveCounters = true;
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
    Pace& pace = *pace_;
    pace.lastReadUs = NowMicroseconds();
    if (pace.bytesRead == 0) {
        pace.firstReadUs = pace.lastReadUs;
        pace.firstReadBytes = static_cast<uint32_t>(into.size());
    }
    pace.bytesRead += static_cast<uint32_t>(into.size());
    return true;
}

double SystemSerialPort::Pace::SeenMicrosecondsPerByte() const {
    const uint32_t later = bytesRead - firstReadBytes;
    if (later < kBytesForRate || lastReadUs <= firstReadUs) return 0.0;
    return static_cast<double>(lastReadUs - firstReadUs) / later;
}

void SystemSerialPort::DiscardInput() {
    tcflush(handle_, TCIFLUSH);
    QueryAndClearErrors();  // errors of the discarded input are not the next reply's
    // A new exchange begins: how fast the last reply trickled in says nothing of when
    // the next one starts.
    Pace& pace = *pace_;
    pace.firstReadUs = pace.lastReadUs = 0;
    pace.firstReadBytes = pace.bytesRead = 0;
}

int64_t SystemSerialPort::Pace::GatherUs(const InputWait& wait, int fd) {
    if (bytesRead == 0 || wait.missing < 2) return 0;  // the reply has not begun, or one byte wakes the wait anyway
    const int64_t longest = int64_t{wait.timeLeftMs} * 1000;
    if (const double seen = SeenMicrosecondsPerByte(); seen > 0.0) {
        const auto gather = static_cast<int64_t>(kSeenRateShare * seen * (wait.missing - 1));
        return std::min({gather, NowMicroseconds() - firstReadUs, longest});
    }
    if (configuredUsPerByte < 0.0) configuredUsPerByte = ConfiguredMicrosecondsPerByte(fd);
    return std::min(static_cast<int64_t>(configuredUsPerByte * wait.missing), longest);
}

void SystemSerialPort::WaitForInput(const InputWait& wait) {
    if (BuildWaitStyle() == WaitStyle::PlainSleep) {
        SleepMilliseconds(wait.pollMs);
        return;
    }
    if (const int64_t gather = pace_->GatherUs(wait, handle_); gather >= kShortestGatherUs) {
        SleepMicroseconds(gather);
        return;
    }
    pollfd watch{handle_, POLLIN, 0};
    const int timeout = static_cast<int>(std::min<uint32_t>(wait.timeLeftMs, INT32_MAX));
    if (poll(&watch, 1, timeout) < 0 || (watch.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        SleepMilliseconds(wait.pollMs);  // nothing to wait on: pace the polling by time alone
    }
}

uint32_t SystemClock::TickCount() { return platform::TickCount(); }

void SystemClock::Sleep(uint32_t milliseconds) { SleepMilliseconds(milliseconds); }

}  // namespace korvan::platform
