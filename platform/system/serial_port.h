// The driver's view of a serial port: write a request, ask how many bytes are queued
// (clearing line errors), read exactly that many, discard stale input, and wait for
// input between polls. Tests give the driver a scripted port behind this interface.
#pragma once

#include <cstdint>
#include <span>

namespace korvan::platform {

// What the reading side knows before it waits for more of a reply.
struct InputWait {
    uint32_t pollMs = 0;      // the poll interval: what a plain sleep between polls waits
    uint32_t timeLeftMs = 0;  // until the time-out has passed: the most a wait woken by input may take
    uint32_t missing = 0;     // bytes the reply still lacks at least (0: not known)
};

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
    // Waits between two polls: a plain sleep of the poll interval, or until input comes
    // within the time left. A port may let the missing bytes gather and wake less
    // often; it never waits past the time left for them.
    virtual void WaitForInput(const InputWait& wait) = 0;
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
