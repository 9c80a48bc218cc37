#include "tools/korvan-sim/parameter_access.h"

namespace korvansim {
namespace {

std::optional<std::uint16_t> WriteAccessProblem(const ParameterDef& def, bool motorRunning) {
    switch (def.access) {
    case Access::ReadOnly: return refusal::kNoWriteAccess;
    case Access::PanelOnly: return refusal::kNoBusAccess;
    case Access::WhenStopped: return motorRunning ? std::optional<std::uint16_t>(refusal::kNotInPresentMode) : std::nullopt;
    case Access::ReadWrite: return std::nullopt;
    }
    return std::nullopt;
}

// Only the low byte of IND is the index.
std::optional<std::uint16_t> IndexProblem(const ParameterDef& def, std::uint16_t ind) {
    const std::uint16_t index = ind & 0xFFu;
    if (def.arraySize == 0) {
        return index == 0 ? std::nullopt : std::optional<std::uint16_t>(refusal::kNotAnArray);
    }
    return index >= 1 && index <= def.arraySize ? std::nullopt : std::optional<std::uint16_t>(refusal::kNoSuchIndex);
}

bool IsWrite(std::uint8_t command) {
    return command == ak::kWriteWord || command == ak::kWriteDouble || command == ak::kWriteDoubleEeprom ||
           command == ak::kWriteWordEeprom;
}

bool IsDoubleWordCommand(std::uint8_t command) {
    return command == ak::kWriteDouble || command == ak::kWriteDoubleEeprom;
}

}  // namespace

ParameterAnswer Refusal(std::uint16_t error) {
    ParameterAnswer answer;
    answer.ak = ak::kCannotExecute;
    answer.value = error;
    return answer;
}

ParameterAnswer ParameterAccess::Handle(const Telegram& request, bool motorRunning) {
    const ParameterDef* def = table_.Find(request.pnu);
    if (def == nullptr) {
        return Refusal(refusal::kUnknownParameter);
    }
    if (request.ak == ak::kNone) {
        return ParameterAnswer{};
    }
    if (request.ak == ak::kText) {
        return Text(*def, request, motorRunning);
    }
    if (def->type == DataType::Text && (request.ak == ak::kRead || IsWrite(request.ak))) {
        return Refusal(refusal::kWrongDataType);
    }
    if (request.ak == ak::kRead) {
        const std::optional<std::uint16_t> problem = IndexProblem(*def, request.index);
        return problem ? Refusal(*problem) : Read(*def, request.index & 0xFFu);
    }
    if (IsWrite(request.ak)) {
        return Write(*def, request, motorRunning);
    }
    return Refusal(refusal::kNotInPresentMode);
}

ParameterAnswer ParameterAccess::Read(const ParameterDef& def, std::uint16_t index) const {
    ParameterAnswer answer;
    answer.ak = IsDoubleWord(def.type) ? ak::kDoubleValue : ak::kWordValue;
    answer.value = ToPwe(def.type, store_.Value(def.pnu, index, Copy::Ram).value_or(0));
    return answer;
}

ParameterAnswer ParameterAccess::Write(const ParameterDef& def, const Telegram& request, bool motorRunning) {
    if (const std::optional<std::uint16_t> problem = WriteAccessProblem(def, motorRunning)) {
        return Refusal(*problem);
    }
    if (IsDoubleWordCommand(request.ak) != IsDoubleWord(def.type)) {
        return Refusal(refusal::kWrongDataType);
    }
    if (const std::optional<std::uint16_t> problem = IndexProblem(def, request.index)) {
        return Refusal(*problem);
    }
    const std::int64_t value = FromPwe(def.type, request.value);
    if (value < def.minimum || value > def.maximum) {
        return Refusal(refusal::kExceedsLimits);
    }
    const bool eeprom = request.ak == ak::kWriteDoubleEeprom || request.ak == ak::kWriteWordEeprom;
    store_.SetValue(def.pnu, request.index & 0xFFu, value, eeprom);
    return Read(def, request.index & 0xFFu);
}

ParameterAnswer ParameterAccess::Text(const ParameterDef& def, const Telegram& request, bool motorRunning) {
    if (def.type != DataType::Text) {
        return Refusal(refusal::kWrongDataType);
    }
    if (request.kind == TelegramKind::Text) {
        return (request.index >> 8) == kTextWriteIndex ? WriteText(def, request, motorRunning)
                                                        : Refusal(refusal::kNoSuchIndex);
    }
    if ((request.index >> 8) != kTextReadIndex || (request.index & 0xFFu) != 0) {
        return Refusal(refusal::kNoSuchIndex);
    }
    return ReadText(def);
}

ParameterAnswer ParameterAccess::ReadText(const ParameterDef& def) const {
    ParameterAnswer answer;
    answer.ak = ak::kTextValue;
    answer.isText = true;
    if (const std::vector<std::uint8_t>* text = store_.Text(def.pnu, Copy::Ram)) {
        answer.text = *text;
    }
    if (answer.text.size() < def.textWidth) {
        answer.text.resize(def.textWidth, ' ');
    }
    return answer;
}

ParameterAnswer ParameterAccess::WriteText(const ParameterDef& def, const Telegram& request, bool motorRunning) {
    if (const std::optional<std::uint16_t> problem = WriteAccessProblem(def, motorRunning)) {
        return Refusal(*problem);
    }
    const auto length = static_cast<std::int64_t>(request.text.size());
    if (length < def.minimum || length > def.maximum) {
        return Refusal(refusal::kExceedsLimits);
    }
    store_.SetText(def.pnu, request.text, true);
    return ReadText(def);
}

}  // namespace korvansim
