#include "tools/korvan-sim/drive_line.h"

#include <utility>

#include "tools/korvan-sim/address_match.h"

namespace korvansim {

DriveLine::DriveLine(ParameterTable table, const std::vector<std::uint8_t>& addresses, std::unique_ptr<ModelClock> clock)
    : table_(std::move(table)), clock_(std::move(clock)) {
    for (const std::uint8_t address : addresses) {
        drives_.push_back(std::make_unique<DriveModel>(address, table_));
    }
}

DriveModel* DriveLine::Find(std::uint8_t address) {
    for (const auto& drive : drives_) {
        if (drive->Address() == address) {
            return drive.get();
        }
    }
    return nullptr;
}

// An exact match wins over the 1-31 short form.
DriveModel* DriveLine::Addressed(std::uint8_t adr, bool& broadcast) {
    DriveModel* shortForm = nullptr;
    broadcast = false;
    for (const auto& drive : drives_) {
        switch (MatchAddress(adr, drive->Address())) {
        case AddressMatch::Exact: return drive.get();
        case AddressMatch::ShortForm: shortForm = shortForm ? shortForm : drive.get(); break;
        case AddressMatch::Broadcast: broadcast = true; break;
        case AddressMatch::Foreign: break;
        }
    }
    return shortForm;
}

Handled DriveLine::Handle(const Telegram& request, FaultInjector& faults) {
    const std::lock_guard lock(mutex_);
    clock_->OnTelegram();
    Handled handled;
    handled.timeUs = clock_->NowUs();
    bool broadcast = false;
    DriveModel* drive = Addressed(request.address, broadcast);
    if (drive == nullptr) {
        if (broadcast) {
            for (const auto& each : drives_) {
                each->Act(request, handled.timeUs);
            }
        }
        return handled;
    }
    handled.fault = faults.Choose(request.kind != TelegramKind::Process);
    handled.reply = handled.fault == FaultKind::Refuse
                        ? drive->Refuse(request, faults.Settings().refuseError, handled.timeUs)
                        : drive->Answer(request, handled.timeUs);
    if (handled.fault == FaultKind::WrongPnu) {
        handled.reply->pnu = static_cast<std::uint16_t>((handled.reply->pnu + 1) & 0x07FFu);
    }
    return handled;
}

}  // namespace korvansim
