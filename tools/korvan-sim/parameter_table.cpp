#include "tools/korvan-sim/parameter_table.h"

#include <utility>

namespace korvansim {

bool ParameterTable::Add(ParameterDef def) {
    const std::uint16_t pnu = def.pnu;
    return defs_.emplace(pnu, std::move(def)).second;
}

const ParameterDef* ParameterTable::Find(std::uint16_t pnu) const {
    const auto found = defs_.find(pnu);
    return found == defs_.end() ? nullptr : &found->second;
}

}  // namespace korvansim
