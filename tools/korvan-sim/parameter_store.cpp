#include "tools/korvan-sim/parameter_store.h"

#include <utility>

namespace korvansim {

ParameterStore::ParameterStore(const ParameterTable& table) {
    for (const auto& [pnu, def] : table.All()) {
        Slot slot;
        slot.isText = def.type == DataType::Text;
        slot.isArray = def.arraySize != 0;
        if (slot.isText) {
            slot.textRam = slot.textEeprom = def.defaultText;
        } else {
            slot.ram.assign(slot.isArray ? def.arraySize : 1u, def.defaultValue);
            slot.eeprom = slot.ram;
        }
        slots_.emplace(pnu, std::move(slot));
    }
}

const ParameterStore::Slot* ParameterStore::Find(std::uint16_t pnu) const {
    const auto found = slots_.find(pnu);
    return found == slots_.end() ? nullptr : &found->second;
}

std::optional<std::size_t> ParameterStore::Position(const Slot& slot, std::uint16_t index) {
    if (slot.isText) {
        return std::nullopt;
    }
    if (!slot.isArray) {
        return index == 0 ? std::optional<std::size_t>(0) : std::nullopt;
    }
    if (index == 0 || index > slot.ram.size()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index - 1);
}

std::optional<std::int64_t> ParameterStore::Value(std::uint16_t pnu, std::uint16_t index, Copy copy) const {
    const Slot* slot = Find(pnu);
    const std::optional<std::size_t> at = slot ? Position(*slot, index) : std::nullopt;
    if (!at) {
        return std::nullopt;
    }
    return copy == Copy::Ram ? slot->ram[*at] : slot->eeprom[*at];
}

bool ParameterStore::SetValue(std::uint16_t pnu, std::uint16_t index, std::int64_t value, bool eeprom) {
    const auto found = slots_.find(pnu);
    const std::optional<std::size_t> at = found == slots_.end() ? std::nullopt : Position(found->second, index);
    if (!at) {
        return false;
    }
    found->second.ram[*at] = value;
    if (eeprom) {
        found->second.eeprom[*at] = value;
    }
    return true;
}

std::int64_t ParameterStore::ValueOr(std::uint16_t pnu, std::int64_t fallback) const {
    return Value(pnu, 0, Copy::Ram).value_or(fallback);
}

const std::vector<std::uint8_t>* ParameterStore::Text(std::uint16_t pnu, Copy copy) const {
    const Slot* slot = Find(pnu);
    if (!slot || !slot->isText) {
        return nullptr;
    }
    return copy == Copy::Ram ? &slot->textRam : &slot->textEeprom;
}

bool ParameterStore::SetText(std::uint16_t pnu, std::vector<std::uint8_t> text, bool eeprom) {
    const auto found = slots_.find(pnu);
    if (found == slots_.end() || !found->second.isText) {
        return false;
    }
    if (eeprom) {
        found->second.textEeprom = text;
    }
    found->second.textRam = std::move(text);
    return true;
}

}  // namespace korvansim
