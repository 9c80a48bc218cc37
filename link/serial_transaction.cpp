#include "link/serial_transaction.h"

#include <cstdint>

namespace korvan {
namespace {

// The stop rules of the read modes 0, 1 and 3.
class ModeRule final : public ReplyEnd {
public:
    ModeRule(int32_t mode, uint32_t count, uint8_t terminator) : mode_(mode), count_(count), terminator_(terminator) {}

    bool Reached(const ByteBuffer& buffer) const override {
        const bool atTerminator = buffer.back() == terminator_;
        const bool atCount = buffer.size() >= count_;
        switch (mode_) {
            case kReadUntilTerminator: return atTerminator;
            case kReadCount: return atCount;
            default: return atTerminator || atCount;
        }
    }
    uint32_t Missing(const ByteBuffer& buffer) const override {
        const bool counted = mode_ != kReadUntilTerminator && count_ > buffer.size();
        return counted ? static_cast<uint32_t>(count_ - buffer.size()) : 0;
    }

private:
    int32_t mode_;
    uint32_t count_;
    uint8_t terminator_;
};

// Appends the polled bytes one at a time; true when the reply's end is reached (the
// rest of this poll's bytes are dropped).
bool AppendUntilEnd(ByteBuffer& buffer, const ByteBuffer& polled, const ReplyEnd& end) {
    for (uint8_t byte : polled) {
        buffer.push_back(byte);
        if (end.Reached(buffer)) return true;
    }
    return false;
}

// Until the time-out has passed (then one more poll interval while bytes still come).
uint32_t TimeLeft(uint32_t elapsed, uint32_t timeoutMs) {
    if (elapsed > timeoutMs) return kPollIntervalMs;
    const uint64_t left = uint64_t{timeoutMs} - elapsed + 1;
    return left > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(left);
}

int32_t PollUntilEnd(const DeviceInstance& device, SerialIo& io, ByteBuffer& buffer, uint32_t timeoutMs,
                     const ReplyEnd& end) {
    const uint32_t start = io.clock.TickCount();
    buffer.clear();
    for (;;) {
        ByteBuffer polled;
        const bool read = SerialReadPending(device, io, polled) != 0;
        if (read && AppendUntilEnd(buffer, polled, end)) break;
        const uint32_t elapsed = ElapsedSince(start, io.clock.TickCount());
        // The time-out is examined only when a poll finds nothing.
        if (!read && elapsed > timeoutMs) break;
        io.port.WaitForInput({kPollIntervalMs, TimeLeft(elapsed, timeoutMs), end.Missing(buffer)});
    }
    return static_cast<int32_t>(buffer.size());
}

int32_t ReadAfterDelay(const DeviceInstance& device, SerialIo& io, ByteBuffer& buffer, uint32_t delayMs) {
    if (!IsPortOpen(device)) return 0;
    io.clock.Sleep(delayMs);
    SerialReadPending(device, io, buffer);
    return static_cast<int32_t>(buffer.size());
}

}  // namespace

bool IsPortOpen(const DeviceInstance& device) {
    // 0 and -1, in the handle's own type, name no port.
    return device.portKind == kSerialPortKind && device.portHandle != KorvanPortHandle(0) &&
           device.portHandle != KorvanPortHandle(-1);
}

int32_t SerialWrite(const DeviceInstance& device, SerialIo& io, const ByteBuffer& buffer, uint32_t timeoutMs) {
    if (!IsPortOpen(device)) return 0;
    return io.port.Write(buffer, timeoutMs) ? 1 : 0;
}

int32_t SerialReadPending(const DeviceInstance& device, SerialIo& io, ByteBuffer& out) {
    out.clear();
    if (!IsPortOpen(device)) return 0;
    const platform::PortStatus status = io.port.QueryAndClearErrors();
    if (status.lineErrors || status.queued == 0) return 0;
    out.resize(status.queued);
    return io.port.Read(out) ? 1 : 0;
}

int32_t SerialRead(const DeviceInstance& device, SerialIo& io, ByteBuffer& buffer, uint32_t timeoutMs,
                   int32_t mode, uint32_t count, int32_t terminator) {
    buffer.clear();
    const auto endByte = static_cast<uint8_t>(terminator & 0xFF);
    switch (static_cast<uint32_t>(mode)) {
        case kReadUntilTerminator:
        case kReadCount:
        case kReadUntilTerminatorOrCount:
            return PollUntilEnd(device, io, buffer, timeoutMs, ModeRule(mode, count, endByte));
        case kReadAfterDelay:
            return ReadAfterDelay(device, io, buffer, timeoutMs);
        default:
            return -2;
    }
}

namespace {

// Discards stale input and writes the request; false when the write fails.
bool SendRequest(const DeviceInstance& device, SerialIo& io, const ByteBuffer& buffer, uint32_t timeoutMs) {
    // A late reply to an earlier request must not be taken for this one's.
    if (IsPortOpen(device)) io.port.DiscardInput();
    // A call blocks for at most one exchange: the port gets the wait time to take the request.
    return SerialWrite(device, io, buffer, timeoutMs) != 0;
}

}  // namespace

int32_t SerialTransact(const DeviceInstance& device, SerialIo& io, ByteBuffer& buffer, uint32_t timeoutMs,
                       int32_t mode, uint32_t count, int32_t terminator) {
    if (!SendRequest(device, io, buffer, timeoutMs)) return -1;
    return SerialRead(device, io, buffer, timeoutMs, mode, count, terminator);
}

int32_t SerialTransactUntil(const DeviceInstance& device, SerialIo& io, ByteBuffer& buffer, uint32_t timeoutMs,
                            const ReplyEnd& end) {
    if (!SendRequest(device, io, buffer, timeoutMs)) return -1;
    return PollUntilEnd(device, io, buffer, timeoutMs, end);
}

uint32_t ElapsedSince(uint32_t start, uint32_t now) { return now >= start ? now - start : now - start - 1; }

}  // namespace korvan
