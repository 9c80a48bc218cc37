#include "tools/korvan-host/archive/channel_field_text.h"

#include "tools/korvan-sim/data_type.h"

namespace korvanhost {
namespace {

struct ConversionRowText {
    const char* index;
    const char* factor;
};
constexpr ConversionRowText kRows[] = {{"74", "0.1"},  {"2", "100"},   {"1", "10"},     {"0", "1"},
                                       {"-1", "0.1"},  {"-2", "0.01"}, {"-3", "0.001"}, {"-4", "0.0001"}};

}  // namespace

std::string DataTypeText(int32_t type) {
    if (type < 0 || type > 5) return "type " + std::to_string(type);
    return std::string(korvansim::DataTypeName(static_cast<korvansim::DataType>(type)));
}

std::string ConversionIndexText(int32_t row) {
    return row >= 0 && row < 8 ? kRows[row].index : "row " + std::to_string(row);
}

std::string ConversionText(int32_t row) {
    if (row < 0 || row >= 8) return "row " + std::to_string(row) + " (×1)";
    return std::string(kRows[row].index) + " (×" + kRows[row].factor + ")";
}

std::string AccessText(int32_t access) { return access == 1 ? "wo" : access == 2 ? "rw" : "ro"; }

}  // namespace korvanhost
