#include "tools/korvan-sim/csv_fields.h"

namespace korvansim {
namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Reads a quoted field starting just after its opening quote; `pos` ends after the closing quote.
std::optional<std::string> Quoted(std::string_view line, std::size_t& pos) {
    std::string field;
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c != '"') {
            field.push_back(c);
        } else if (pos < line.size() && line[pos] == '"') {
            field.push_back('"');
            ++pos;
        } else {
            return field;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::string>> SplitCsvLine(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (true) {
        const std::size_t comma = line.find(',', pos);
        std::string_view raw = Trim(line.substr(pos, comma == std::string_view::npos ? line.npos : comma - pos));
        if (!raw.empty() && raw.front() == '"') {
            pos = line.find('"', pos) + 1;
            std::optional<std::string> field = Quoted(line, pos);
            const std::size_t next = line.find(',', pos);
            if (!field || !Trim(line.substr(pos, next == line.npos ? line.npos : next - pos)).empty()) {
                return std::nullopt;
            }
            fields.push_back(std::move(*field));
            if (next == std::string_view::npos) {
                return fields;
            }
            pos = next + 1;
            continue;
        }
        fields.emplace_back(raw);
        if (comma == std::string_view::npos) {
            return fields;
        }
        pos = comma + 1;
    }
}

}  // namespace korvansim
