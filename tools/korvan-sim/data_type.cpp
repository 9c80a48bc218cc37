#include "tools/korvan-sim/data_type.h"

#include <array>
#include <utility>

namespace korvansim {
namespace {

constexpr std::array<std::pair<std::string_view, DataType>, 6> kNames = {{
    {"int16", DataType::Int16},
    {"int32", DataType::Int32},
    {"uint8", DataType::Uint8},
    {"uint16", DataType::Uint16},
    {"uint32", DataType::Uint32},
    {"text", DataType::Text},
}};

}  // namespace

std::optional<DataType> ParseDataType(std::string_view name) {
    for (const auto& [text, type] : kNames) {
        if (text == name) {
            return type;
        }
    }
    return std::nullopt;
}

std::string_view DataTypeName(DataType type) {
    for (const auto& [text, known] : kNames) {
        if (known == type) {
            return text;
        }
    }
    return "?";
}

bool IsDoubleWord(DataType type) {
    return type == DataType::Int32 || type == DataType::Uint32;
}

std::int64_t TypeMinimum(DataType type) {
    switch (type) {
    case DataType::Int16: return -32768;
    case DataType::Int32: return -2147483648LL;
    default: return 0;
    }
}

std::int64_t TypeMaximum(DataType type) {
    switch (type) {
    case DataType::Int16: return 32767;
    case DataType::Int32: return 2147483647LL;
    case DataType::Uint8: return 255;
    case DataType::Uint16: return 65535;
    case DataType::Uint32: return 4294967295LL;
    case DataType::Text: return 0;
    }
    return 0;
}

std::uint32_t ToPwe(DataType type, std::int64_t value) {
    const auto bits = static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) & 0xFFFFFFFFu);
    return IsDoubleWord(type) ? bits : (bits & 0xFFFFu);
}

std::int64_t FromPwe(DataType type, std::uint32_t pwe) {
    const std::uint32_t low = pwe & 0xFFFFu;
    switch (type) {
    case DataType::Int16: return low >= 0x8000u ? static_cast<std::int64_t>(low) - 0x10000 : low;
    case DataType::Int32: return pwe >= 0x80000000u ? static_cast<std::int64_t>(pwe) - 0x100000000LL : pwe;
    case DataType::Uint32: return pwe;
    default: return low;
    }
}

}  // namespace korvansim
