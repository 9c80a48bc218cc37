// The drive's parameter list: what each parameter number holds and how it may be accessed.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/korvan-sim/data_type.h"

namespace korvansim {

enum class Access : std::uint8_t {
    ReadWrite,
    ReadOnly,     // read-outs and nameplate data: a write is refused with error 1
    PanelOnly,    // set on the control panel only: a bus write is refused with error 130
    WhenStopped,  // changed only while the motor is stopped: otherwise error 17
};

struct ParameterDef {
    std::uint16_t pnu = 0;
    std::string name;
    std::string chineseName;  // UTF-8; empty in files of the earlier format
    DataType type = DataType::Uint16;
    std::int8_t conversion = 0;
    std::string unit;
    // Raw values (engineering value ÷ conversion factor); for texts: length limits in bytes.
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
    std::int64_t defaultValue = 0;
    std::vector<std::uint8_t> defaultText;  // code page 936
    Access access = Access::ReadWrite;
    std::uint16_t arraySize = 0;  // 0: not an array; else indexes 1..arraySize
    std::uint16_t textWidth = 0;  // texts: sent padded with spaces to this width; 0: as stored
    std::string evidence;
};

class ParameterTable {
public:
    // False when the number is already present.
    bool Add(ParameterDef def);
    const ParameterDef* Find(std::uint16_t pnu) const;
    const std::map<std::uint16_t, ParameterDef>& All() const { return defs_; }

private:
    std::map<std::uint16_t, ParameterDef> defs_;
};

}  // namespace korvansim
