// The values of one drive's parameters, in RAM and in EEPROM.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "tools/korvan-sim/parameter_table.h"

namespace korvansim {

enum class Copy : std::uint8_t { Ram, Eeprom };

class ParameterStore {
public:
    explicit ParameterStore(const ParameterTable& table);

    // `index` is 0 for a plain parameter and 1..n for an array; nullopt when there is no
    // such numeric value.
    std::optional<std::int64_t> Value(std::uint16_t pnu, std::uint16_t index, Copy copy) const;
    bool SetValue(std::uint16_t pnu, std::uint16_t index, std::int64_t value, bool eeprom);
    // RAM value of a plain numeric parameter, or `fallback` when the table lacks it.
    std::int64_t ValueOr(std::uint16_t pnu, std::int64_t fallback) const;

    const std::vector<std::uint8_t>* Text(std::uint16_t pnu, Copy copy) const;
    bool SetText(std::uint16_t pnu, std::vector<std::uint8_t> text, bool eeprom);

private:
    struct Slot {
        std::vector<std::int64_t> ram;
        std::vector<std::int64_t> eeprom;
        std::vector<std::uint8_t> textRam;
        std::vector<std::uint8_t> textEeprom;
        bool isText = false;
        bool isArray = false;
    };
    const Slot* Find(std::uint16_t pnu) const;
    static std::optional<std::size_t> Position(const Slot& slot, std::uint16_t index);

    std::map<std::uint16_t, Slot> slots_;
};

}  // namespace korvansim
