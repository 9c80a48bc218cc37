// The driver's view of a serial port: write a request, ask how many bytes are queued
// (clearing line errors), read exactly that many, discard stale input, and wait for
// input between polls. Tests give the driver a scripted port behind this interface.
#pragma once

#include <cstdint>
#include <span>

namespace korvan::platform {

struct PortStatus {
    bool lineErrors = false;  // framing, parity, overrun or break since the last query
    uint32_t queued = 0;      // bytes in the input queue
};

class SerialPort {
public:
    virtual ~SerialPort() = default;
    // Writes the whole buffer; true when the port took all of it within `timeoutMs`
    // (a stalled line, held by flow control, fails the write instead of blocking).
    virtual bool Write(std::span<const uint8_t> bytes, uint32_t timeoutMs) = 0;
    // Reports and clears line errors, with the input-queue byte count.
    virtual PortStatus QueryAndClearErrors() = 0;
    // Reads exactly into.size() bytes (what the queue holds); true on success.
    virtual bool Read(std::span<uint8_t> into) = 0;
    // Drops whatever input is queued.
    virtual void DiscardInput() = 0;
    // Returns when input arrives or after `milliseconds`, whichever comes first.
    virtual void WaitForInput(uint32_t milliseconds) = 0;
    // How many bytes the reply still lacks before the next wait (0: not known). A port
    // may use it to let them gather and wake less often; it never waits longer for it.
    virtual void NoteBytesMissing(uint32_t /*count*/) {}
};

// The millisecond tick and a plain sleep.
class Clock {
public:
    virtual ~Clock() = default;
    // Free-running, wrapping at 2^32.
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

}  // namespace korvan::platform
