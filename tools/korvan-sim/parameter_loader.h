// Reads the parameter data file (see data/vlt5000-parameters.csv for its columns).
#pragma once

#include <istream>
#include <string>

#include "tools/korvan-sim/parameter_table.h"
#include "tools/korvan-sim/result.h"

namespace korvansim {

// Every damaged line is refused with "NAME:LINE: what is wrong".
Result<ParameterTable> LoadParameterTable(const std::string& path);
Result<ParameterTable> ParseParameterTable(std::istream& input, const std::string& name);

}  // namespace korvansim
