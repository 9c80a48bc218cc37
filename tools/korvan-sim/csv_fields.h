// One line of the parameter data file split into its fields.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvansim {

// Fields are separated by commas; a field in double quotes may hold commas, and "" inside it
// stands for one quote. Spaces around unquoted fields are dropped. nullopt for an unclosed
// quote or text after a closing quote.
std::optional<std::vector<std::string>> SplitCsvLine(std::string_view line);

}  // namespace korvansim
