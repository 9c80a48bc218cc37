// Byte-level exchanges on the port the host opened: write a request, then gather the
// reply by polling the input queue until a stop rule is met or the line has been idle
// past the time-out.
#pragma once

#include <cstdint>
#include <vector>

#include "korvan/host_abi.h"
#include "platform/system/serial_port.h"

namespace korvan {

using ByteBuffer = std::vector<uint8_t>;

// The port and clock one exchange runs on.
struct SerialIo {
    platform::SerialPort& port;
    platform::Clock& clock;
};

enum ReadMode : int32_t {
    kReadUntilTerminator = 0,
    kReadCount = 1,
    kReadAfterDelay = 2,
    kReadUntilTerminatorOrCount = 3,
};

inline constexpr uint32_t kPollIntervalMs = 10;
inline constexpr int32_t kSerialPortKind = 2;

// Where a reply ends: tested after each byte appended (the rest of that poll's bytes
// are dropped), and asked before each wait how many bytes it still lacks.
class ReplyEnd {
public:
    virtual bool Reached(const ByteBuffer& gathered) const = 0;
    // At least this many bytes are still to come; 0 when that is not known.
    virtual uint32_t Missing(const ByteBuffer& gathered) const = 0;

protected:
    ~ReplyEnd() = default;
};

// A serial port kind with a handle that is neither 0 nor -1.
bool IsPortOpen(const DeviceInstance& device);
// 0 without an open port; otherwise whether the port took the whole buffer within
// `timeoutMs`.
int32_t SerialWrite(const DeviceInstance& device, SerialIo& io, const ByteBuffer& buffer, uint32_t timeoutMs);
// One poll of the input queue: 0 when nothing was read (no port, line errors, empty
// queue), else whether reading the queued bytes into `out` succeeded.
int32_t SerialReadPending(const DeviceInstance& device, SerialIo& io, ByteBuffer& out);
// The number of bytes gathered into `buffer`, or -2 for a mode outside 0..3.
int32_t SerialRead(const DeviceInstance& device, SerialIo& io, ByteBuffer& buffer, uint32_t timeoutMs,
                   int32_t mode, uint32_t count, int32_t terminator);
// Discards stale input, writes `buffer` and reads the reply into it: -1 when the
// write fails (the request stays in the buffer), else SerialRead's result.
int32_t SerialTransact(const DeviceInstance& device, SerialIo& io, ByteBuffer& buffer, uint32_t timeoutMs,
                       int32_t mode, uint32_t count, int32_t terminator);
// The same exchange, the reply gathered until `end` is reached or the line has been
// idle past the time-out.
int32_t SerialTransactUntil(const DeviceInstance& device, SerialIo& io, ByteBuffer& buffer, uint32_t timeoutMs,
                            const ReplyEnd& end);

// Milliseconds from start to now; across a wrap of the tick the count is one less
// than the modular difference.
uint32_t ElapsedSince(uint32_t start, uint32_t now);

}  // namespace korvan
