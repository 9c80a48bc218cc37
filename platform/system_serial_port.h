// The system's serial port on the handle the host opened, and the system's clock.
#pragma once

#include <cstdint>

#include "platform/serial_port.h"

namespace korvan::platform {

class SystemSerialPort final : public SerialPort {
public:
    explicit SystemSerialPort(int32_t handle) : handle_(handle) {}

    bool Write(std::span<const uint8_t> bytes) override;
    PortStatus QueryAndClearErrors() override;
    bool Read(std::span<uint8_t> into) override;
    void DiscardInput() override;
    void WaitForInput(uint32_t milliseconds) override;

private:
    int32_t handle_;
    bool haveCounters_ = false;
    uint64_t errorCount_ = 0;  // the line's error counters at the last query
};

class SystemClock final : public Clock {
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;
};

}  // namespace korvan::platform
