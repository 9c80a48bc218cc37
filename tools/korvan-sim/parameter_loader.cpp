#include "tools/korvan-sim/parameter_loader.h"

#include <array>
#include <charconv>
#include <fstream>
#include <optional>
#include <vector>

#include "tools/korvan-sim/csv_fields.h"
#include "tools/korvan-sim/decimal.h"
#include "tools/korvan-sim/gbk_text.h"
#include "tools/korvan-sim/program_files.h"
#include "tools/korvan-sim/scaling.h"

namespace korvansim {
namespace {

constexpr std::array<std::string_view, 14> kColumns = {
    "pnu", "name", "name_zh", "type", "conversion", "unit", "min", "max", "default",
    "access", "array", "text_width", "evidence", "note"};
enum Column : std::size_t {
    kPnu, kName, kChineseName, kType, kConversion, kUnit, kMin, kMax, kDefault, kAccess, kArray, kWidth, kEvidence };

constexpr std::array<std::pair<std::string_view, Access>, 4> kAccessNames = {{
    {"rw", Access::ReadWrite}, {"ro", Access::ReadOnly}, {"panel", Access::PanelOnly}, {"stopped", Access::WhenStopped}}};
constexpr std::array<std::string_view, 5> kEvidenceMarks = {"C", "C-rel", "I", "X", "assumed"};
constexpr std::size_t kMaxTextBytes = 245;  // LGE is one byte: 10 + n ≤ 255

using Row = std::vector<std::string>;
using RowResult = Result<ParameterDef>;

std::optional<std::int64_t> Integer(std::string_view text, std::int64_t low, std::int64_t high) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<Access> AccessNamed(std::string_view text) {
    for (const auto& [name, access] : kAccessNames) {
        if (name == text) {
            return access;
        }
    }
    return std::nullopt;
}

bool KnownEvidence(std::string_view text) {
    for (const std::string_view known : kEvidenceMarks) {
        if (known == text) {
            return true;
        }
    }
    return false;
}

// Files of the earlier format lack the name_zh column: their rows get an empty one.
void AddChineseNameColumn(Row& row) {
    row.insert(row.begin() + kChineseName, "");
}

// Whether the header is the current one or the earlier one without name_zh.
Result<bool> CheckHeader(Row row) {
    const bool earlier = row.size() == kColumns.size() - 1 && row[kChineseName] != kColumns[kChineseName];
    if (earlier) {
        AddChineseNameColumn(row);
        row[kChineseName] = kColumns[kChineseName];
    }
    if (row.size() != kColumns.size()) {
        return Result<bool>::Fail("the header must name the " + std::to_string(kColumns.size()) + " columns pnu,name,name_zh,…,note");
    }
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (row[i] != kColumns[i]) {
            return Result<bool>::Fail("header column " + std::to_string(i + 1) + " is '" + row[i] + "', expected '" +
                                      std::string(kColumns[i]) + "'");
        }
    }
    return Result<bool>::Ok(earlier);
}

std::optional<std::string> FillNumeric(const Row& row, ParameterDef& def) {
    const std::optional<std::int64_t> low = ParseScaledDecimal(row[kMin], def.conversion);
    const std::optional<std::int64_t> high = ParseScaledDecimal(row[kMax], def.conversion);
    const std::optional<std::int64_t> value = ParseScaledDecimal(row[kDefault], def.conversion);
    if (!low || !high || !value) {
        return "min, max and default must be decimal numbers that the conversion index can represent exactly";
    }
    if (*low < TypeMinimum(def.type) || *high > TypeMaximum(def.type)) {
        return "min/max do not fit the data type " + std::string(DataTypeName(def.type));
    }
    if (*low > *high || *value < *low || *value > *high) {
        return "default " + row[kDefault] + " lies outside " + row[kMin] + ".." + row[kMax];
    }
    def.minimum = *low;
    def.maximum = *high;
    def.defaultValue = *value;
    return std::nullopt;
}

std::optional<std::string> FillText(const Row& row, ParameterDef& def) {
    const std::optional<std::int64_t> low = Integer(row[kMin], 0, kMaxTextBytes);
    const std::optional<std::int64_t> high = Integer(row[kMax], 0, kMaxTextBytes);
    std::optional<std::vector<std::uint8_t>> text = Utf8ToGbk(row[kDefault]);
    if (!low || !high || *low > *high) {
        return "for a text, min and max are lengths in bytes, 0.." + std::to_string(kMaxTextBytes);
    }
    if (!text) {
        return "the default text cannot be written in code page 936";
    }
    if (static_cast<std::int64_t>(text->size()) < *low || static_cast<std::int64_t>(text->size()) > *high) {
        return "the default text has " + std::to_string(text->size()) + " bytes, outside " + row[kMin] + ".." + row[kMax];
    }
    if (def.textWidth != 0 && *high > def.textWidth) {
        return "max length exceeds text_width";
    }
    if (def.arraySize != 0) {
        return "text parameters cannot be arrays";
    }
    def.minimum = *low;
    def.maximum = *high;
    def.defaultText = std::move(*text);
    return std::nullopt;
}

// The columns every row has, whatever its type.
std::optional<std::string> FillCommon(const Row& row, ParameterDef& def) {
    const std::optional<std::int64_t> pnu = Integer(row[kPnu], 0, 2047);
    const std::optional<DataType> type = ParseDataType(row[kType]);
    const std::optional<std::int64_t> conversion = Integer(row[kConversion], -128, 127);
    const std::optional<Access> access = AccessNamed(row[kAccess]);
    const std::optional<std::int64_t> arraySize = Integer(row[kArray], 0, 255);
    const std::optional<std::int64_t> width = Integer(row[kWidth], 0, kMaxTextBytes);
    if (!pnu) {
        return "pnu '" + row[kPnu] + "' is not a number 0..2047";
    }
    if (row[kName].empty()) {
        return "the name is empty";
    }
    if (!type) {
        return "unknown data type '" + row[kType] + "' (int16, int32, uint8, uint16, uint32, text)";
    }
    if (!conversion || !IsKnownConversion(static_cast<int>(*conversion))) {
        return "conversion index '" + row[kConversion] + "' is not one of 74, 2, 1, 0, -1..-5";
    }
    if (!access) {
        return "access '" + row[kAccess] + "' is not rw, ro, panel or stopped";
    }
    if (!arraySize || !width) {
        return "array and text_width must be numbers 0..255 and 0..245";
    }
    if (!KnownEvidence(row[kEvidence])) {
        return "evidence '" + row[kEvidence] + "' is not C, C-rel, I, X or assumed";
    }
    def.pnu = static_cast<std::uint16_t>(*pnu);
    def.name = row[kName];
    def.chineseName = row[kChineseName];
    def.type = *type;
    def.conversion = static_cast<std::int8_t>(*conversion);
    def.unit = row[kUnit];
    def.access = *access;
    def.arraySize = static_cast<std::uint16_t>(*arraySize);
    def.textWidth = static_cast<std::uint16_t>(*width);
    def.evidence = row[kEvidence];
    return std::nullopt;
}

// A row of the file's format, the note may be left out.
std::optional<std::string> CheckFieldCount(const Row& row, bool earlierFormat) {
    const std::size_t columns = kColumns.size() - (earlierFormat ? 1 : 0);
    if (row.size() != columns && row.size() != columns - 1) {
        return "expected " + std::to_string(columns) + " fields, found " + std::to_string(row.size());
    }
    return std::nullopt;
}

RowResult ParseRow(const Row& row) {
    ParameterDef def;
    std::optional<std::string> problem = FillCommon(row, def);
    if (!problem) {
        problem = def.type == DataType::Text ? FillText(row, def) : FillNumeric(row, def);
    }
    return problem ? RowResult::Fail(*problem) : RowResult::Ok(std::move(def));
}

bool IsBlankOrComment(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    return first == std::string_view::npos || line[first] == '#';
}

}  // namespace

Result<ParameterTable> ParseParameterTable(std::istream& input, const std::string& name) {
    ParameterTable table;
    bool headerSeen = false;
    bool earlierFormat = false;
    std::string line;
    for (int number = 1; std::getline(input, line); ++number) {
        const auto fail = [&](const std::string& what) {
            return Result<ParameterTable>::Fail(name + ":" + std::to_string(number) + ": " + what);
        };
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) {
            line.erase(0, 3);
        }
        if (IsBlankOrComment(line)) {
            continue;
        }
        std::optional<Row> row = SplitCsvLine(line);
        if (!row) {
            return fail("unbalanced quotes");
        }
        if (!headerSeen) {
            const Result<bool> earlier = CheckHeader(*row);
            if (!earlier) {
                return fail(earlier.Error());
            }
            earlierFormat = *earlier;
            headerSeen = true;
            continue;
        }
        if (const std::optional<std::string> problem = CheckFieldCount(*row, earlierFormat)) {
            return fail(*problem);
        }
        if (earlierFormat) {
            AddChineseNameColumn(*row);
        }
        RowResult def = ParseRow(*row);
        if (!def) {
            return fail(def.Error());
        }
        if (!table.Add(std::move(*def))) {
            return fail("parameter " + (*row)[kPnu] + " appears twice");
        }
    }
    if (table.All().empty()) {
        return Result<ParameterTable>::Fail(name + ": no parameters (a header line and at least one row are needed)");
    }
    return Result<ParameterTable>::Ok(std::move(table));
}

Result<ParameterTable> LoadParameterTable(const std::string& path) {
    std::ifstream input(Utf8Path(path));
    if (!input) {
        return Result<ParameterTable>::Fail(path + ": cannot open the parameter file");
    }
    return ParseParameterTable(input, path);
}

}  // namespace korvansim
