// One simulated VLT 5000: its parameters, the control word and reference it acts on, and
// the motor behind it.
#pragma once

#include <cstdint>

#include "tools/korvan-sim/drive_status.h"
#include "tools/korvan-sim/motor.h"
#include "tools/korvan-sim/parameter_access.h"
#include "tools/korvan-sim/parameter_store.h"
#include "tools/korvan-sim/parameter_table.h"
#include "tools/korvan-sim/telegram.h"

namespace korvansim {

class DriveModel {
public:
    // `table` must outlive the drive.
    DriveModel(std::uint8_t address, const ParameterTable& table);

    std::uint8_t Address() const { return address_; }

    // A telegram addressed to this drive, at model time `nowUs`. The reply carries the status
    // from before the request; its control word (bit 10 set) is applied afterwards.
    Telegram Answer(const Telegram& request, std::int64_t nowUs);
    // As Answer, but the parameter request is not carried out: AK 7 with `error`.
    Telegram Refuse(const Telegram& request, std::uint16_t error, std::int64_t nowUs);
    // A broadcast: carried out, not answered.
    void Act(const Telegram& request, std::int64_t nowUs);

    // Trips with an alarm number (1..99); a rising edge of control word bit 7 resets.
    void Trip(std::uint8_t alarm, std::int64_t nowUs);
    void AdvanceTo(std::int64_t nowUs);

    std::uint16_t StatusWord() const;
    std::uint16_t MainActual() const;
    std::int64_t FrequencyUhz() const { return motor_.FrequencyUhz(); }
    ParameterStore& Store() { return store_; }
    const ParameterStore& Store() const { return store_; }

private:
    Telegram Reply(const Telegram& request, const ParameterAnswer& answer) const;
    void ApplyControl(const Telegram& request);
    bool StartSignal() const;
    bool MotorBusy() const;
    MotorCommand Command() const;
    DriveCondition Condition() const;
    std::int64_t ReferenceTarget() const;
    std::int64_t BusReferenceUhz() const;
    std::int64_t FullScaleUhz() const;
    std::int64_t Micro(std::uint16_t pnu, std::int64_t fallback) const;
    void SetReadout(std::uint16_t pnu, std::int64_t micro);
    void RefreshReadouts();

    std::uint8_t address_;
    const ParameterTable& table_;
    ParameterStore store_;
    ParameterAccess access_;
    Motor motor_;
    std::uint16_t control_;
    std::int16_t reference_ = 0;
    bool tripped_ = false;
    std::uint8_t alarm_ = 0;
    std::int64_t lastUs_ = 0;
};

}  // namespace korvansim
