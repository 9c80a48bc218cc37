#include "resources/rc/rc_emitter.h"

#include <sstream>

namespace korvan::rc {
namespace {

std::string Literal(std::string_view text) {
    std::string out = "u\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out + '"';
}

std::string StyleBits(const std::vector<std::string>& styles) {
    if (styles.empty()) return "0";
    std::string bits;
    for (const std::string& style : styles) bits += (bits.empty() ? "" : " | ") + style;
    return bits;
}

void EmitControls(std::ostringstream& out, const DialogEntry& dialog) {
    out << "constexpr ControlTemplate kControls" << dialog.id << "[] = {\n";
    for (const ControlEntry& c : dialog.controls) {
        out << "    {ControlKind::" << c.kind << ", " << c.id << ", " << Literal(c.text) << ", " << c.x << ", " << c.y
            << ", " << c.width << ", " << c.height << ", " << StyleBits(c.styles) << "},\n";
    }
    out << "};\n\n";
}

void EmitDialog(std::ostringstream& out, const DialogEntry& dialog) {
    out << "    {" << dialog.id << ", " << Literal(dialog.caption) << ", " << Literal(dialog.fontName) << ", "
        << dialog.fontPoints << ", " << dialog.width << ", " << dialog.height << ", kControls" << dialog.id
        << "},\n";
}

}  // namespace

std::string EmitTemplateTable(const std::vector<DialogEntry>& dialogs, std::string_view scriptName) {
    std::ostringstream out;
    out << "// Made by korvan-rc from " << scriptName << "; edit the script, not this file.\n"
        << "#include \"platform/dialogs/dialog_template.h\"\n\n"
        << "namespace korvan::platform {\nnamespace {\n\n";
    for (const DialogEntry& dialog : dialogs) {
        if (!dialog.controls.empty()) EmitControls(out, dialog);
    }
    out << "constexpr DialogTemplate kDialogs[] = {\n";
    for (const DialogEntry& dialog : dialogs) EmitDialog(out, dialog);
    out << "};\n\n}  // namespace\n\n"
        << "std::span<const DialogTemplate> LinkedDialogTemplates() { return kDialogs; }\n\n"
        << "}  // namespace korvan::platform\n";
    return out.str();
}

}  // namespace korvan::rc
