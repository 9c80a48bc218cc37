#include "tools/korvan-host/commissioning/backup_file.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <utility>

#include "tools/korvan-host/commissioning/scaled_value.h"
#include "tools/korvan-sim/csv_fields.h"
#include "tools/korvan-sim/data_type.h"
#include "tools/korvan-sim/program_files.h"

namespace korvanhost {
namespace {

constexpr const char* kTitle = "# korvan-host backup of a VLT5000's parameters, format 1";
constexpr const char* kColumns = "pnu,name,type,conversion,unit,raw,value,text,error,reason";
enum Column { kPnu, kName, kType, kConversion, kUnit, kRaw, kValue, kText, kError, kReason, kColumnCount };

struct HeaderField {
    const char* key;
    std::string Backup::*field;
};
constexpr HeaderField kHeader[] = {{"time", &Backup::time},
                                   {"address", &Backup::address},
                                   {"unit type", &Backup::unitType},
                                   {"software version", &Backup::softwareVersion},
                                   {"korvan", &Backup::korvanVersion}};

// Quoted when it holds a separator, a quote, a line end or blanks at either end.
std::string Field(const std::string& text) {
    const bool plain = text.find_first_of(",\"\r\n") == std::string::npos &&
                       (text.empty() || (text.front() != ' ' && text.back() != ' '));
    if (plain) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

template <class Number>
std::optional<Number> NumberIn(const std::string& text) {
    Number value{};
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || problem != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string Row(const BackupEntry& entry) {
    std::string fields[kColumnCount];
    fields[kPnu] = std::to_string(entry.number);
    fields[kName] = entry.name;
    fields[kType] = entry.type;
    fields[kConversion] = std::to_string(entry.conversion);
    fields[kUnit] = entry.unit;
    if (entry.raw) fields[kRaw] = std::to_string(*entry.raw), fields[kValue] = ScaledText(*entry.raw, entry.conversion);
    if (entry.text) fields[kText] = *entry.text;
    if (entry.error) fields[kError] = std::to_string(*entry.error);
    fields[kReason] = entry.reason;
    std::string row;
    for (int column = 0; column < kColumnCount; ++column) row += (column ? "," : "") + Field(fields[column]);
    return row;
}

// One row's entry, or what is wrong with it.
std::optional<BackupEntry> Entry(const std::vector<std::string>& fields, std::string& problem) {
    if (fields.size() != kColumnCount) {
        problem = "expected " + std::to_string(kColumnCount) + " fields, found " + std::to_string(fields.size());
        return std::nullopt;
    }
    BackupEntry entry;
    const auto number = NumberIn<int32_t>(fields[kPnu]);
    const auto conversion = NumberIn<int32_t>(fields[kConversion]);
    entry.name = fields[kName];
    entry.type = fields[kType];
    entry.unit = fields[kUnit];
    entry.reason = fields[kReason];
    if (!fields[kRaw].empty()) entry.raw = NumberIn<int64_t>(fields[kRaw]);
    if (!fields[kError].empty()) entry.error = NumberIn<int32_t>(fields[kError]);
    if (!number || *number < 0 || *number > 4095) problem = "pnu '" + fields[kPnu] + "' is not a number 0..4095";
    else if (!korvansim::ParseDataType(entry.type)) problem = "unknown data type '" + entry.type + "'";
    else if (!conversion) problem = "conversion '" + fields[kConversion] + "' is not a number";
    else if (!fields[kRaw].empty() && !entry.raw) problem = "raw '" + fields[kRaw] + "' is not a whole number";
    else if (!fields[kError].empty() && !entry.error) problem = "error '" + fields[kError] + "' is not a number";
    else if (!entry.Absent() && !entry.IsText() && !entry.raw) problem = "a numeric parameter needs raw, or a reason";
    if (!problem.empty()) return std::nullopt;
    entry.number = *number;
    entry.conversion = *conversion;
    if (entry.IsText() && !entry.Absent()) entry.text = fields[kText];
    return entry;
}

// A "# key: value" line into the header.
void TakeHeader(const std::string& line, Backup& backup) {
    for (const HeaderField& field : kHeader) {
        const std::string prefix = std::string("# ") + field.key + ": ";
        if (line.rfind(prefix, 0) == 0) backup.*field.field = line.substr(prefix.size());
    }
}

}  // namespace

const BackupEntry* Backup::Find(int32_t number) const {
    const auto found = std::find_if(entries.begin(), entries.end(), [&](const BackupEntry& e) { return e.number == number; });
    return found == entries.end() ? nullptr : &*found;
}

std::string FormatBackup(const Backup& backup) {
    std::string text = std::string(kTitle) + "\n";
    for (const HeaderField& field : kHeader) text += std::string("# ") + field.key + ": " + backup.*field.field + "\n";
    text += std::string(kColumns) + "\n";
    for (const BackupEntry& entry : backup.entries) text += Row(entry) + "\n";
    return text;
}

std::optional<Backup> ParseBackup(const std::string& content, const std::string& name, std::string& error) {
    std::istringstream input(content);
    Backup backup;
    bool title = false, columns = false;
    std::string line, record;
    int number = 0, first = 0;
    while (std::getline(input, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (record.empty()) first = number;
        record += record.empty() ? line : "\n" + line;
        if (std::count(record.begin(), record.end(), '"') % 2 != 0) continue;  // a quoted field goes on
        const std::string where = name + ":" + std::to_string(first) + ": ";
        const std::string text = std::exchange(record, {});
        if (!title) {
            if (text != kTitle) return error = name + " is not a korvan-host backup (its first line differs)", std::nullopt;
            title = true;
        } else if (text.rfind("#", 0) == 0) {
            TakeHeader(text, backup);
        } else if (!columns) {
            if (text != kColumns) return error = where + "the header row must be " + kColumns, std::nullopt;
            columns = true;
        } else if (!text.empty()) {
            const auto fields = korvansim::SplitCsvLine(text);
            std::string problem = fields ? "" : "unbalanced quotes";
            auto entry = fields ? Entry(*fields, problem) : std::nullopt;
            if (!entry) return error = where + problem, std::nullopt;
            if (backup.Find(entry->number)) return error = where + "parameter " + (*fields)[kPnu] + " appears twice", std::nullopt;
            backup.entries.push_back(std::move(*entry));
        }
    }
    if (!record.empty()) return error = name + ":" + std::to_string(first) + ": unbalanced quotes", std::nullopt;
    if (!columns) return error = name + " is not a korvan-host backup (no header row)", std::nullopt;
    return backup;
}

std::optional<Backup> ReadBackup(const std::string& path, std::string& error) {
    std::ifstream input(korvansim::Utf8Path(path), std::ios::binary);
    if (!input) return error = "cannot read backup " + path, std::nullopt;
    std::ostringstream content;
    content << input.rdbuf();
    return ParseBackup(content.str(), path, error);
}

}  // namespace korvanhost
