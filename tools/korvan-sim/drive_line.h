// The drives that share one line, their clock, and the lock that keeps the line's thread
// and the test's accessors apart.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "tools/korvan-sim/drive_model.h"
#include "tools/korvan-sim/fault_injector.h"
#include "tools/korvan-sim/model_clock.h"
#include "tools/korvan-sim/parameter_table.h"
#include "tools/korvan-sim/telegram.h"

namespace korvansim {

struct Handled {
    std::optional<Telegram> reply;  // none for broadcasts and telegrams for other stations
    FaultKind fault = FaultKind::None;
    std::int64_t timeUs = 0;
};

class DriveLine {
public:
    DriveLine(ParameterTable table, const std::vector<std::uint8_t>& addresses, std::unique_ptr<ModelClock> clock);

    // A faultless request: advances the clock, lets the addressed drive (or every drive, for
    // a broadcast) act on it, and picks the reply's fault. Refuse and WrongPnu are applied to
    // the reply here; the byte faults are the caller's.
    Handled Handle(const Telegram& request, FaultInjector& faults);

    // Runs `action(DriveModel&)` under the line's lock, with the drive brought up to the
    // present model time; false when no drive has that address.
    template <typename Action>
    bool WithDrive(std::uint8_t address, Action&& action) {
        const std::lock_guard lock(mutex_);
        DriveModel* drive = Find(address);
        if (drive == nullptr) {
            return false;
        }
        drive->AdvanceTo(clock_->NowUs());
        action(*drive, clock_->NowUs());
        return true;
    }

    std::int64_t NowUs() const { return clock_->NowUs(); }

private:
    DriveModel* Find(std::uint8_t address);
    DriveModel* Addressed(std::uint8_t adr, bool& broadcast);

    std::mutex mutex_;
    ParameterTable table_;
    std::unique_ptr<ModelClock> clock_;
    std::vector<std::unique_ptr<DriveModel>> drives_;
};

}  // namespace korvansim
