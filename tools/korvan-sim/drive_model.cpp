#include "tools/korvan-sim/drive_model.h"

#include <algorithm>
#include <limits>

#include "tools/korvan-sim/control_bits.h"
#include "tools/korvan-sim/scaling.h"

namespace korvansim {
namespace {

// Parameter numbers the model reads or fills.
namespace pnu {
inline constexpr std::uint16_t kLocalRemote = 2;
inline constexpr std::uint16_t kLowLimit = 201;
inline constexpr std::uint16_t kHighLimit = 202;
inline constexpr std::uint16_t kReferenceRange = 203;
inline constexpr std::uint16_t kMinReference = 204;
inline constexpr std::uint16_t kMaxReference = 205;
inline constexpr std::uint16_t kRampUp1 = 207;
inline constexpr std::uint16_t kRampDown1 = 208;
inline constexpr std::uint16_t kRampUp2 = 209;
inline constexpr std::uint16_t kRampDown2 = 210;
inline constexpr std::uint16_t kQuickStopRamp = 212;
inline constexpr std::uint16_t kJogFrequency = 213;
inline constexpr std::uint16_t kLowWarning = 225;
inline constexpr std::uint16_t kHighWarning = 226;
inline constexpr std::uint16_t kReference = 516;
inline constexpr std::uint16_t kFrequency = 518;
inline constexpr std::uint16_t kCurrent = 520;
inline constexpr std::uint16_t kPower = 522;
inline constexpr std::uint16_t kHeatsink = 537;
inline constexpr std::uint16_t kAlarmWord = 538;
inline constexpr std::uint16_t kWarningWord = 540;
inline constexpr std::uint16_t kFaultLog = 615;
}  // namespace pnu

constexpr std::int64_t kMaxFullScaleUhz = 1000000000;  // 1000 Hz
constexpr std::int64_t kMaxRampUs = 3600000000;         // 3600 s
constexpr std::int64_t kMillion = 1000000;

bool Has(std::uint16_t word, std::uint16_t bits) {
    return (word & bits) == bits;
}

}  // namespace

DriveModel::DriveModel(std::uint8_t address, const ParameterTable& table)
    : address_(address), table_(table), store_(table), access_(table, store_), control_(control::kPowerUp) {
    RefreshReadouts();
}

Telegram DriveModel::Answer(const Telegram& request, std::int64_t nowUs) {
    AdvanceTo(nowUs);
    const std::uint16_t statusWord = StatusWord();
    const std::uint16_t mainActual = MainActual();
    Telegram reply = Reply(request, request.kind == TelegramKind::Process ? ParameterAnswer{}
                                                                          : access_.Handle(request, MotorBusy()));
    reply.pcd1 = statusWord;
    reply.pcd2 = mainActual;
    ApplyControl(request);
    return reply;
}

Telegram DriveModel::Refuse(const Telegram& request, std::uint16_t error, std::int64_t nowUs) {
    AdvanceTo(nowUs);
    Telegram reply = Reply(request, Refusal(error));
    reply.pcd1 = StatusWord();
    reply.pcd2 = MainActual();
    ApplyControl(request);
    return reply;
}

void DriveModel::Act(const Telegram& request, std::int64_t nowUs) {
    AdvanceTo(nowUs);
    if (request.kind != TelegramKind::Process) {
        access_.Handle(request, MotorBusy());
    }
    ApplyControl(request);
}

void DriveModel::Trip(std::uint8_t alarm, std::int64_t nowUs) {
    AdvanceTo(nowUs);
    tripped_ = true;
    alarm_ = alarm;
    if (const ParameterDef* log = table_.Find(pnu::kFaultLog)) {
        for (std::uint16_t index = log->arraySize; index > 1; --index) {
            store_.SetValue(pnu::kFaultLog, index, store_.Value(pnu::kFaultLog, index - 1, Copy::Ram).value_or(0), false);
        }
        store_.SetValue(pnu::kFaultLog, 1, alarm, false);
    }
    AdvanceTo(nowUs);
}

void DriveModel::AdvanceTo(std::int64_t nowUs) {
    motor_.Advance(Command(), std::max<std::int64_t>(0, nowUs - lastUs_));
    lastUs_ = std::max(lastUs_, nowUs);
    RefreshReadouts();
}

std::uint16_t DriveModel::StatusWord() const {
    return ComposeStatusWord(Condition());
}

std::uint16_t DriveModel::MainActual() const {
    return MainActualValue(motor_.FrequencyUhz(), FullScaleUhz());
}

Telegram DriveModel::Reply(const Telegram& request, const ParameterAnswer& answer) const {
    Telegram reply;
    reply.kind = request.kind == TelegramKind::Process ? TelegramKind::Process
                 : answer.isText                       ? TelegramKind::Text
                                                       : TelegramKind::Parameter;
    reply.address = request.address;
    reply.ak = answer.ak;
    reply.pnu = request.pnu;
    reply.index = request.index;
    reply.value = answer.value;
    reply.text = answer.text;
    return reply;
}

// Bit 10 clear: the control word and the reference are not used. In local operation the bus
// has no control either.
void DriveModel::ApplyControl(const Telegram& request) {
    if (!Has(request.pcd1, control::kDataValid) || store_.ValueOr(pnu::kLocalRemote, 0) != 0) {
        return;
    }
    if (Has(request.pcd1, control::kReset) && !Has(control_, control::kReset)) {
        tripped_ = false;
        alarm_ = 0;
    }
    control_ = request.pcd1;
    reference_ = static_cast<std::int16_t>(request.pcd2 >= 0x8000u ? request.pcd2 - 0x10000 : request.pcd2);
    RefreshReadouts();
}

bool DriveModel::StartSignal() const {
    const std::uint16_t ready = control::kEnable | control::kNoQuickStop | control::kNoDcBrake;
    return !tripped_ && Has(control_, ready) && (control_ & (control::kStart | control::kJog)) != 0;
}

bool DriveModel::MotorBusy() const {
    return StartSignal() || motor_.FrequencyUhz() != 0;
}

MotorCommand DriveModel::Command() const {
    const bool ramp2 = Has(control_, control::kRamp2);
    MotorCommand command;
    command.coast = tripped_ || !Has(control_, control::kEnable) || !Has(control_, control::kNoDcBrake);
    command.quickStop = !Has(control_, control::kNoQuickStop);
    command.run = (control_ & (control::kStart | control::kJog)) != 0;
    command.freeze = !Has(control_, control::kRampEnable) && !Has(control_, control::kJog);
    command.targetUhz = ReferenceTarget();
    command.fullScaleUhz = FullScaleUhz();
    command.rampUpUs = std::clamp<std::int64_t>(Micro(ramp2 ? pnu::kRampUp2 : pnu::kRampUp1, 0), 0, kMaxRampUs);
    command.rampDownUs = std::clamp<std::int64_t>(Micro(ramp2 ? pnu::kRampDown2 : pnu::kRampDown1, 0), 0, kMaxRampUs);
    command.quickStopUs = std::clamp<std::int64_t>(Micro(pnu::kQuickStopRamp, 0), 0, kMaxRampUs);
    return command;
}

// The output follows the bus reference, or par 213 while jogging, within par 201..202. A
// negative reference or control word bit 15 reverses.
std::int64_t DriveModel::ReferenceTarget() const {
    const std::int64_t fullScale = FullScaleUhz();
    const std::int64_t low = std::clamp<std::int64_t>(Micro(pnu::kLowLimit, 0), 0, fullScale);
    const std::int64_t reference = Has(control_, control::kJog) ? Micro(pnu::kJogFrequency, 0) : BusReferenceUhz();
    const std::int64_t limited = std::clamp(reference < 0 ? -reference : reference, low, fullScale);
    const bool reverse = (reference_ < 0 || reference < 0) != Has(control_, control::kReverse);
    return reverse ? -limited : limited;
}

// The bus reference on the reference range (par 203): with 203 = 0, 0..0x4000 is par 204
// (minimum reference) .. par 205 (maximum reference), and the reference stays positive;
// with 203 = 1, -0x4000..0x4000 is -205..+205. Beyond 0x4000 it goes on in proportion
// (up to 200 %).
std::int64_t DriveModel::BusReferenceUhz() const {
    const std::int64_t maximum = Micro(pnu::kMaxReference, FullScaleUhz());
    if (store_.ValueOr(pnu::kReferenceRange, 0) != 0) {
        return maximum * reference_ / 16384;
    }
    const std::int64_t minimum = Micro(pnu::kMinReference, 0);
    const std::int64_t magnitude = reference_ < 0 ? -std::int64_t{reference_} : reference_;
    return std::max<std::int64_t>(0, minimum + (maximum - minimum) * magnitude / 16384);
}

std::int64_t DriveModel::FullScaleUhz() const {
    return std::clamp<std::int64_t>(Micro(pnu::kHighLimit, 50 * kMillion), 0, kMaxFullScaleUhz);
}

DriveCondition DriveModel::Condition() const {
    DriveCondition condition;
    condition.tripped = tripped_;
    condition.enabled = Has(control_, control::kEnable);
    condition.startSignal = StartSignal();
    condition.busControl = store_.ValueOr(pnu::kLocalRemote, 0) == 0;
    condition.warning = store_.ValueOr(pnu::kWarningWord, 0) != 0;
    condition.frequencyUhz = motor_.FrequencyUhz();
    condition.targetUhz = motor_.Target(Command());
    condition.lowWarningUhz = Micro(pnu::kLowWarning, 0);
    condition.highWarningUhz = Micro(pnu::kHighWarning, std::numeric_limits<std::int64_t>::max());
    return condition;
}

// A parameter's RAM value in millionths of its unit, or `fallback` when the table lacks it.
std::int64_t DriveModel::Micro(std::uint16_t number, std::int64_t fallback) const {
    const ParameterDef* def = table_.Find(number);
    if (def == nullptr || def->type == DataType::Text || def->arraySize != 0) {
        return fallback;
    }
    return RawToMicro(store_.ValueOr(number, def->defaultValue), def->conversion);
}

void DriveModel::SetReadout(std::uint16_t number, std::int64_t micro) {
    const ParameterDef* def = table_.Find(number);
    if (def == nullptr || def->type == DataType::Text || def->arraySize != 0) {
        return;
    }
    const std::int64_t raw = std::clamp(MicroToRaw(micro, def->conversion), def->minimum, def->maximum);
    store_.SetValue(number, 0, raw, false);
}

void DriveModel::RefreshReadouts() {
    const std::int64_t frequency = motor_.FrequencyUhz() < 0 ? -motor_.FrequencyUhz() : motor_.FrequencyUhz();
    const std::int64_t fullScale = std::max<std::int64_t>(FullScaleUhz(), 1);
    const bool running = MotorBusy();
    SetReadout(pnu::kReference, static_cast<std::int64_t>(reference_) * 100 * kMillion / 16384);
    SetReadout(pnu::kFrequency, frequency);
    SetReadout(pnu::kCurrent, running ? 1500000 + 3500000 * frequency / fullScale : 0);
    SetReadout(pnu::kPower, 750000 * frequency / fullScale);
    SetReadout(pnu::kHeatsink, 30 * kMillion + 25 * kMillion * frequency / fullScale);
    if (table_.Find(pnu::kAlarmWord) != nullptr) {
        const std::int64_t word = tripped_ && alarm_ < 32 ? (std::int64_t{1} << alarm_) : 0;
        store_.SetValue(pnu::kAlarmWord, 0, word, false);
    }
}

}  // namespace korvansim
