// korvan-rc SCRIPT OUTPUT: compiles the dialogs of a resource script into the C++
// template table. Errors name the script line; the output is only rewritten when
// its content changes.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "resources/rc/rc_emitter.h"
#include "resources/rc/rc_lexer.h"
#include "resources/rc/rc_parser.h"

namespace {

bool ReadFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    content = buffer.str();
    return true;
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: korvan-rc SCRIPT OUTPUT\n";
        return 2;
    }
    const std::string scriptPath = argv[1];
    const std::string outputPath = argv[2];
    std::string script;
    if (!ReadFile(scriptPath, script)) {
        std::cerr << scriptPath << ": cannot be read\n";
        return 1;
    }
    std::string table;
    try {
        table = korvan::rc::EmitTemplateTable(korvan::rc::ParseScript(script), BaseName(scriptPath));
    } catch (const korvan::rc::ScriptError& error) {
        std::cerr << scriptPath << ":" << error.Line() << ": " << error.what() << "\n";
        return 1;
    }
    std::string previous;
    if (ReadFile(outputPath, previous) && previous == table) return 0;
    std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
    out << table;
    return out ? 0 : 1;
}
