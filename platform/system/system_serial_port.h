// The system's serial port on the handle the host opened, and the system's clock.
#pragma once

#include <cstdint>
#include <memory>

#include "korvan/host_abi.h"
#include "platform/system/serial_port.h"

namespace korvan::platform {

class SystemSerialPort final : public SerialPort {
public:
    explicit SystemSerialPort(KorvanPortHandle handle);
    ~SystemSerialPort() override;
    SystemSerialPort(const SystemSerialPort&) = delete;
    SystemSerialPort& operator=(const SystemSerialPort&) = delete;

    bool Write(std::span<const uint8_t> bytes, uint32_t timeoutMs) override;
    PortStatus QueryAndClearErrors() override;
    bool Read(std::span<uint8_t> into) override;
    void DiscardInput() override;
    void WaitForInput(const InputWait& wait) override;

private:
    struct Pace;  // what the system's side keeps between the polls of a call

    KorvanPortHandle handle_;
    std::unique_ptr<Pace> pace_;
};

class SystemClock final : public Clock {
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;
};

}  // namespace korvan::platform
