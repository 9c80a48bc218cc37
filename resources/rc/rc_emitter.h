// Writes the C++ table of dialog templates that the platform's dialog framework
// reads (platform/dialog_template.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "resources/rc/rc_script.h"

namespace korvan::rc {

std::string EmitTemplateTable(const std::vector<DialogEntry>& dialogs, std::string_view scriptName);

}  // namespace korvan::rc
