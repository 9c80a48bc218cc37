#include "link/serial_transaction.h"

namespace korvan {
namespace {

bool StopRuleMet(int32_t mode, const ByteBuffer& buffer, uint32_t count, uint8_t terminator) {
    const bool atTerminator = buffer.back() == terminator;
    const bool atCount = buffer.size() >= count;
    switch (mode) {
        case kReadUntilTerminator: return atTerminator;
        case kReadCount: return atCount;
        default: return atTerminator || atCount;
    }
}

// Appends the polled bytes one at a time; true when the stop rule is met (the rest
// of this poll's bytes are dropped).
bool AppendUntilStop(ByteBuffer& buffer, const ByteBuffer& polled, int32_t mode, uint32_t count,
                     uint8_t terminator) {
    for (uint8_t byte : polled) {
        buffer.push_back(byte);
        if (StopRuleMet(mode, buffer, count, terminator)) return true;
    }
    return false;
}

int32_t PollUntilStop(const DeviceInstance& device, SerialIo& io, ByteBuffer& buffer, uint32_t timeoutMs,
                      int32_t mode, uint32_t count, uint8_t terminator) {
    const uint32_t start = io.clock.TickCount();
    buffer.clear();
    for (;;) {
        ByteBuffer polled;
        if (SerialReadPending(device, io, polled) != 0) {
            if (AppendUntilStop(buffer, polled, mode, count, terminator)) break;
        } else if (ElapsedSince(start, io.clock.TickCount()) > timeoutMs) {
            break;
        }
        const bool counted = mode != kReadUntilTerminator && count > buffer.size();
        io.port.NoteBytesMissing(counted ? static_cast<uint32_t>(count - buffer.size()) : 0);
        io.port.WaitForInput(kPollIntervalMs);
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
            return PollUntilStop(device, io, buffer, timeoutMs, mode, count, endByte);
        case kReadAfterDelay:
            return ReadAfterDelay(device, io, buffer, timeoutMs);
        default:
            return -2;
    }
}

int32_t SerialTransact(const DeviceInstance& device, SerialIo& io, ByteBuffer& buffer, uint32_t timeoutMs,
                       int32_t mode, uint32_t count, int32_t terminator) {
    // A late reply to an earlier request must not be taken for this one's.
    if (IsPortOpen(device)) io.port.DiscardInput();
    // A call blocks for at most one exchange: the port gets the wait time to take the request.
    if (SerialWrite(device, io, buffer, timeoutMs) == 0) return -1;
    return SerialRead(device, io, buffer, timeoutMs, mode, count, terminator);
}

uint32_t ElapsedSince(uint32_t start, uint32_t now) { return now >= start ? now - start : now - start - 1; }

}  // namespace korvan
