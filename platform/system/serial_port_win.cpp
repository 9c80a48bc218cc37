// The serial port as the COM port HANDLE the host opened without overlapped I/O:
// WriteFile for a request within one deadline, ClearCommError for the line errors and
// the queued count, ReadFile for the bytes, PurgeComm for stale input. A wait for more
// of a reply is a ReadFile of the bytes it still lacks under a total time-out of the
// time left: the port's driver returns it once they have all come, so the thread
// wakes when the reply is there, not at the next tick of a sleep. The host's
// time-outs are put back before the call returns. A handle on which the port's calls
// fail is no COM port: its exchange fails at once as a failed write.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/system/serial_wait_style.h"
#include "platform/system/system_serial_port.h"

namespace korvan::platform {
namespace {

constexpr DWORD kLineErrors = CE_FRAME | CE_OVERRUN | CE_RXPARITY | CE_RXOVER | CE_BREAK;

HANDLE Handle(KorvanPortHandle handle) { return static_cast<HANDLE>(handle); }

bool SameTimeouts(const COMMTIMEOUTS& a, const COMMTIMEOUTS& b) {
    return a.ReadIntervalTimeout == b.ReadIntervalTimeout &&
           a.ReadTotalTimeoutMultiplier == b.ReadTotalTimeoutMultiplier &&
           a.ReadTotalTimeoutConstant == b.ReadTotalTimeoutConstant &&
           a.WriteTotalTimeoutMultiplier == b.WriteTotalTimeoutMultiplier &&
           a.WriteTotalTimeoutConstant == b.WriteTotalTimeoutConstant;
}

// The port's time-outs as the host set them, changed for a write or a wait of this
// call and put back when the call is done.
class PortTimeouts {
public:
    explicit PortTimeouts(HANDLE port) : port_(port) {}
    ~PortTimeouts() {
        if (changed_) SetCommTimeouts(port_, &host_);
    }
    PortTimeouts(const PortTimeouts&) = delete;
    PortTimeouts& operator=(const PortTimeouts&) = delete;

    // false for a handle that has no time-outs: no COM port.
    bool Known() {
        if (state_ == State::kUnasked) {
            state_ = GetCommTimeouts(port_, &host_) != 0 ? State::kKnown : State::kNone;
            current_ = host_;
        }
        return state_ == State::kKnown;
    }
    // A write returns after at most `milliseconds` with what went out.
    bool ForWrite(DWORD milliseconds) {
        COMMTIMEOUTS wanted = current_;
        wanted.WriteTotalTimeoutMultiplier = 0;
        wanted.WriteTotalTimeoutConstant = std::max<DWORD>(milliseconds, 1);
        return Set(wanted);
    }
    // A read returns once all it asks for has come, or after `milliseconds` with what did.
    bool ForRead(DWORD milliseconds) {
        COMMTIMEOUTS wanted = current_;
        wanted.ReadIntervalTimeout = 0;
        wanted.ReadTotalTimeoutMultiplier = 0;
        wanted.ReadTotalTimeoutConstant = std::max<DWORD>(milliseconds, 1);
        return Set(wanted);
    }

private:
    enum class State { kUnasked, kKnown, kNone };
    bool Set(const COMMTIMEOUTS& wanted) {
        if (!Known()) return false;
        if (SameTimeouts(wanted, current_)) return true;
        if (!SetCommTimeouts(port_, const_cast<COMMTIMEOUTS*>(&wanted))) return false;
        current_ = wanted;
        changed_ = true;
        return true;
    }

    HANDLE port_;
    State state_ = State::kUnasked;
    COMMTIMEOUTS host_{};
    COMMTIMEOUTS current_{};
    bool changed_ = false;
};

}  // namespace

// What is kept between the polls of a call: the time-outs, whether the handle is a
// COM port at all, and the bytes a wait read ahead of the next poll.
struct SystemSerialPort::Pace {
    explicit Pace(HANDLE port) : timeouts(port) {}
    PortTimeouts timeouts;
    bool comPort = true;
    std::vector<uint8_t> readAhead;
};

SystemSerialPort::SystemSerialPort(KorvanPortHandle handle)
    : handle_(handle), pace_(std::make_unique<Pace>(Handle(handle))) {}

SystemSerialPort::~SystemSerialPort() = default;

bool SystemSerialPort::Write(std::span<const uint8_t> bytes, uint32_t timeoutMs) {
    // A handle that is no COM port would have every wait for its reply run out.
    if (!pace_->comPort || !pace_->timeouts.Known()) return false;
    const DWORD start = GetTickCount();
    std::size_t done = 0;
    while (done < bytes.size()) {
        // One deadline for the whole request: a write cut short by its time-out goes on
        // with the time that is left, not with a fresh one.
        const DWORD spent = GetTickCount() - start;
        if (done > 0 && spent >= timeoutMs) return false;
        if (!pace_->timeouts.ForWrite(done > 0 ? timeoutMs - spent : timeoutMs)) return false;
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(bytes.size() - done);
        if (!WriteFile(Handle(handle_), bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

PortStatus SystemSerialPort::QueryAndClearErrors() {
    PortStatus status;
    DWORD errors = 0;
    COMSTAT queue{};
    if (!ClearCommError(Handle(handle_), &errors, &queue)) {
        pace_->comPort = false;
        return status;
    }
    status.lineErrors = (errors & kLineErrors) != 0;
    status.queued = static_cast<uint32_t>(pace_->readAhead.size()) + queue.cbInQue;
    return status;
}

bool SystemSerialPort::Read(std::span<uint8_t> into) {
    std::vector<uint8_t>& ahead = pace_->readAhead;
    const std::size_t early = std::min(ahead.size(), into.size());
    std::copy_n(ahead.begin(), early, into.begin());
    ahead.erase(ahead.begin(), ahead.begin() + static_cast<std::ptrdiff_t>(early));
    // The rest is queued, so that ReadFile returns at once under any time-outs.
    std::size_t done = early;
    while (done < into.size()) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(into.size() - done);
        if (!ReadFile(Handle(handle_), into.data() + done, wanted, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

void SystemSerialPort::DiscardInput() {
    PurgeComm(Handle(handle_), PURGE_RXCLEAR);
    pace_->readAhead.clear();
    QueryAndClearErrors();  // errors of the discarded input are not the next reply's
}

void SystemSerialPort::WaitForInput(const InputWait& wait) {
    if (BuildWaitStyle() == WaitStyle::PlainSleep || !pace_->comPort) {
        ::Sleep(wait.pollMs);
        return;
    }
    // A reply whose length is not known yet wakes the wait with its next byte.
    std::vector<uint8_t>& ahead = pace_->readAhead;
    const std::size_t wanted = std::max<uint32_t>(wait.missing, 1);
    if (ahead.size() >= wanted) return;  // already here, held back by a line error
    if (!pace_->timeouts.ForRead(wait.timeLeftMs)) {
        ::Sleep(wait.pollMs);
        return;
    }
    const std::size_t at = ahead.size();
    ahead.resize(wanted);
    DWORD got = 0;
    if (!ReadFile(Handle(handle_), ahead.data() + at, static_cast<DWORD>(wanted - at), &got, nullptr)) got = 0;
    ahead.resize(at + got);
}

uint32_t SystemClock::TickCount() { return GetTickCount(); }

void SystemClock::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace korvan::platform
