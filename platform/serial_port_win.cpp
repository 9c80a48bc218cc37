// The serial port as the COM port HANDLE the host opened without overlapped I/O, its
// reads set to return at once with what is queued: WriteFile for a request under a
// write time-out of the exchange's wait, ClearCommError for the line errors and the
// queued count, ReadFile of exactly that many bytes, PurgeComm for stale input, and a
// plain Sleep between polls.
#include <windows.h>

#include "platform/system_serial_port.h"

namespace korvan::platform {
namespace {

constexpr DWORD kLineErrors = CE_FRAME | CE_OVERRUN | CE_RXPARITY | CE_RXOVER | CE_BREAK;

HANDLE Handle(KorvanPortHandle handle) { return static_cast<HANDLE>(handle); }

// Gives writes on the port a total time-out for the life of the object, then puts the
// host's time-outs back. A handle that is no COM port keeps its own behaviour.
class WriteTimeout {
public:
    WriteTimeout(HANDLE port, uint32_t milliseconds) : port_(port), saved_(GetCommTimeouts(port, &timeouts_) != 0) {
        if (!saved_) return;
        COMMTIMEOUTS bounded = timeouts_;
        bounded.WriteTotalTimeoutMultiplier = 0;
        bounded.WriteTotalTimeoutConstant = milliseconds > 0 ? milliseconds : 1;
        SetCommTimeouts(port_, &bounded);
    }
    ~WriteTimeout() {
        if (saved_) SetCommTimeouts(port_, &timeouts_);
    }
    WriteTimeout(const WriteTimeout&) = delete;
    WriteTimeout& operator=(const WriteTimeout&) = delete;

private:
    HANDLE port_;
    COMMTIMEOUTS timeouts_{};
    bool saved_;
};

}  // namespace

// Nothing is kept between polls: the wait is a plain sleep.
struct SystemSerialPort::Pace {};

SystemSerialPort::SystemSerialPort(KorvanPortHandle handle) : handle_(handle) {}

SystemSerialPort::~SystemSerialPort() = default;

void SystemSerialPort::NoteBytesMissing(uint32_t) {}

bool SystemSerialPort::Write(std::span<const uint8_t> bytes, uint32_t timeoutMs) {
    const WriteTimeout bounded(Handle(handle_), timeoutMs);
    std::size_t done = 0;
    while (done < bytes.size()) {
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
    if (ClearCommError(Handle(handle_), &errors, &queue)) {
        status.lineErrors = (errors & kLineErrors) != 0;
        status.queued = queue.cbInQue;
    }
    return status;
}

bool SystemSerialPort::Read(std::span<uint8_t> into) {
    std::size_t done = 0;
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
    QueryAndClearErrors();  // errors of the discarded input are not the next reply's
}

void SystemSerialPort::WaitForInput(uint32_t milliseconds) { ::Sleep(milliseconds); }

uint32_t SystemClock::TickCount() { return GetTickCount(); }

void SystemClock::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace korvan::platform
