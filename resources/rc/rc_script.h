// A resource script's dialogs as the compiler reads them: what the generated table
// is written from.
#pragma once

#include <string>
#include <vector>

namespace korvan::rc {

struct ControlEntry {
    std::string kind;  // the ControlKind enumerator, e.g. "kEdit"
    long id = 0;
    std::string text;
    long x = 0, y = 0, width = 0, height = 0;
    std::vector<std::string> styles;  // ControlStyle enumerators, e.g. "kTabStop"
};

struct DialogEntry {
    long id = 0;
    std::string caption;
    std::string fontName;
    long fontPoints = 0;
    long width = 0, height = 0;
    std::vector<ControlEntry> controls;
};

}  // namespace korvan::rc
