// The system's serial port on the handle the host opened, and the system's clock.
#pragma once

#include <cstdint>

#include "platform/serial_port.h"

namespace korvan::platform {

class SystemSerialPort final : public SerialPort {
public:
    explicit SystemSerialPort(int32_t handle) : handle_(handle) {}

    bool Write(std::span<const uint8_t> bytes, uint32_t timeoutMs) override;
    PortStatus QueryAndClearErrors() override;
    bool Read(std::span<uint8_t> into) override;
    void DiscardInput() override;
    void WaitForInput(uint32_t milliseconds) override;
    void NoteBytesMissing(uint32_t count) override { missing_ = count; }

private:
    // The time one byte takes to arrive, from the reads so far (0: not known yet).
    double MicrosecondsPerByte() const;

    int32_t handle_;
    uint32_t missing_ = 0;
    int64_t firstReadUs_ = 0;     // when the first bytes were read …
    uint32_t firstReadBytes_ = 0; // … and how many
    int64_t lastReadUs_ = 0;
    uint32_t bytesRead_ = 0;
    bool haveCounters_ = false;
    uint64_t errorCount_ = 0;  // the line's error counters at the last query
};

class SystemClock final : public Clock {
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;
};

}  // namespace korvan::platform
