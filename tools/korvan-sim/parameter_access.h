// The parameter channel of a request: reads, writes and text, and the drive's refusals.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tools/korvan-sim/parameter_store.h"
#include "tools/korvan-sim/parameter_table.h"
#include "tools/korvan-sim/telegram.h"

namespace korvansim {

// The parameter part of a reply (PNU and IND are echoed by the caller).
struct ParameterAnswer {
    std::uint8_t ak = ak::kNone;
    std::uint32_t value = 0;
    bool isText = false;
    std::vector<std::uint8_t> text;
};

ParameterAnswer Refusal(std::uint16_t error);

class ParameterAccess {
public:
    ParameterAccess(const ParameterTable& table, ParameterStore& store) : table_(table), store_(store) {}

    // `motorRunning` decides parameters that change only while the motor is stopped.
    ParameterAnswer Handle(const Telegram& request, bool motorRunning);

private:
    ParameterAnswer Read(const ParameterDef& def, std::uint16_t index) const;
    ParameterAnswer Write(const ParameterDef& def, const Telegram& request, bool motorRunning);
    ParameterAnswer ReadText(const ParameterDef& def) const;
    ParameterAnswer WriteText(const ParameterDef& def, const Telegram& request, bool motorRunning);
    ParameterAnswer Text(const ParameterDef& def, const Telegram& request, bool motorRunning);

    const ParameterTable& table_;
    ParameterStore& store_;
};

}  // namespace korvansim
