// Reads the dialog resources of a script in the Windows resource-script dialect:
//   id DIALOGEX x, y, width, height
//   STYLE ... / CAPTION "..." / FONT points, "name"
//   BEGIN
//     LTEXT|RTEXT|CTEXT|PUSHBUTTON|DEFPUSHBUTTON|GROUPBOX|AUTOCHECKBOX|AUTORADIOBUTTON
//           "text", id, x, y, width, height [, styles]
//     EDITTEXT|COMBOBOX id, x, y, width, height [, styles]
//     CONTROL "text", id, "ZelkGrid", styles, x, y, width, height
//   END
// Styles are names joined by '|', each optionally preceded by NOT.
#pragma once

#include <string_view>
#include <vector>

#include "resources/rc/rc_script.h"

namespace korvan::rc {

// Throws ScriptError for anything outside the dialect.
std::vector<DialogEntry> ParseScript(std::string_view script);

}  // namespace korvan::rc
