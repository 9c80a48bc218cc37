#include "resources/rc/rc_parser.h"

#include <algorithm>
#include <map>
#include <set>

#include "resources/rc/rc_lexer.h"

namespace korvan::rc {
namespace {

struct KindRule {
    const char* kind;
    bool textFirst;
    std::vector<std::string> defaults;
};

const std::map<std::string, KindRule>& ControlStatements() {
    static const std::map<std::string, KindRule> statements = {
        {"LTEXT", {"kLabel", true, {"kGroupStart"}}},
        {"RTEXT", {"kLabel", true, {"kGroupStart", "kAlignRight"}}},
        {"CTEXT", {"kLabel", true, {"kGroupStart", "kAlignCenter"}}},
        {"PUSHBUTTON", {"kPushButton", true, {"kTabStop"}}},
        {"DEFPUSHBUTTON", {"kDefaultButton", true, {"kTabStop"}}},
        {"GROUPBOX", {"kGroupBox", true, {}}},
        {"AUTOCHECKBOX", {"kCheckBox", true, {"kTabStop"}}},
        {"AUTORADIOBUTTON", {"kRadioButton", true, {"kTabStop"}}},
        {"EDITTEXT", {"kEdit", false, {"kTabStop"}}},
        {"COMBOBOX", {"kDropDownList", false, {"kTabStop"}}},
    };
    return statements;
}

// Styles that change behaviour, by the enumerator they become.
const std::map<std::string, std::string>& BehaviourStyles() {
    static const std::map<std::string, std::string> styles = {
        {"WS_GROUP", "kGroupStart"}, {"WS_TABSTOP", "kTabStop"}, {"WS_DISABLED", "kDisabled"},
        {"SS_RIGHT", "kAlignRight"}, {"ES_RIGHT", "kAlignRight"}, {"SS_CENTER", "kAlignCenter"},
        {"ES_CENTER", "kAlignCenter"},
    };
    return styles;
}

// Styles of the dialect that only concern the look, which every backend decides itself.
bool IsLayoutStyle(const std::string& name) {
    static const std::set<std::string> styles = {
        "WS_VISIBLE", "WS_CHILD",     "WS_POPUP",         "WS_CAPTION",      "WS_SYSMENU",   "WS_BORDER",
        "WS_VSCROLL", "WS_HSCROLL",   "DS_MODALFRAME",    "DS_CENTER",       "DS_SETFONT",   "DS_SHELLFONT",
        "DS_FIXEDSYS", "ES_LEFT",     "ES_AUTOHSCROLL",   "CBS_DROPDOWNLIST", "SS_LEFT",     "SS_CENTERIMAGE",
        "BS_AUTOCHECKBOX", "BS_AUTORADIOBUTTON", "WS_EX_CLIENTEDGE", "WS_EX_STATICEDGE",
    };
    return styles.count(name) != 0;
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    std::vector<DialogEntry> Run() {
        std::vector<DialogEntry> dialogs;
        while (Peek().kind != Token::kEnd) dialogs.push_back(Dialog());
        return dialogs;
    }

private:
    const Token& Peek() const { return tokens_[pos_]; }
    const Token& Take() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }

    [[noreturn]] void Fail(const std::string& message) const { throw ScriptError(Peek().line, message); }

    const Token& Expect(Token::Kind kind, const char* what) {
        if (Peek().kind != kind) Fail(std::string(what) + " was expected");
        return Take();
    }
    long Number() { return Expect(Token::kNumber, "a number").number; }
    std::string String() { return Expect(Token::kString, "a quoted text").text; }
    void Comma() { Expect(Token::kComma, "','"); }
    bool IsName(const char* name) const { return Peek().kind == Token::kName && Peek().text == name; }
    void Keyword(const char* name) {
        if (!IsName(name)) Fail(std::string(name) + " was expected");
        Take();
    }

    long Identifier() {
        if (IsName("IDC_STATIC")) {
            Take();
            return -1;
        }
        return Number();
    }

    DialogEntry Dialog() {
        DialogEntry dialog;
        dialog.id = Number();
        Keyword("DIALOGEX");
        Number();
        Comma();
        Number();
        Comma();
        dialog.width = Number();
        Comma();
        dialog.height = Number();
        Header(dialog);
        Keyword("BEGIN");
        while (!IsName("END")) dialog.controls.push_back(Control());
        Keyword("END");
        return dialog;
    }

    void Header(DialogEntry& dialog) {
        for (;;) {
            if (IsName("STYLE") || IsName("EXSTYLE")) {
                Take();
                Styles();
            } else if (IsName("CAPTION")) {
                Take();
                dialog.caption = String();
            } else if (IsName("FONT")) {
                Take();
                dialog.fontPoints = Number();
                Comma();
                dialog.fontName = String();
            } else {
                return;
            }
        }
    }

    ControlEntry Control() {
        if (IsName("CONTROL")) return EmbeddedControl();
        if (Peek().kind != Token::kName) Fail("a control statement was expected");
        const auto rule = ControlStatements().find(Peek().text);
        if (rule == ControlStatements().end()) Fail("unknown control statement " + Peek().text);
        Take();
        ControlEntry control;
        control.kind = rule->second.kind;
        control.styles = rule->second.defaults;
        if (rule->second.textFirst) {
            control.text = String();
            Comma();
        }
        control.id = Identifier();
        Comma();
        Rectangle(control);
        if (Peek().kind == Token::kComma) {
            Take();
            MergeStyles(control.styles, Styles());
        }
        if (Peek().kind == Token::kComma) {
            Take();
            Styles();  // extended styles: look only
        }
        return control;
    }

    ControlEntry EmbeddedControl() {
        Take();
        ControlEntry control;
        control.kind = "kGrid";
        control.text = String();
        Comma();
        control.id = Identifier();
        Comma();
        const int classLine = Peek().line;
        if (String() != "ZelkGrid") throw ScriptError(classLine, "the only control class is \"ZelkGrid\"");
        Comma();
        MergeStyles(control.styles, Styles());
        Comma();
        Rectangle(control);
        return control;
    }

    void Rectangle(ControlEntry& control) {
        control.x = Number();
        Comma();
        control.y = Number();
        Comma();
        control.width = Number();
        Comma();
        control.height = Number();
    }

    // The behaviour styles named; "NOT WS_VISIBLE" hides, "NOT WS_TABSTOP" and
    // "NOT WS_GROUP" take a default away (written as "-name").
    std::vector<std::string> Styles() {
        std::vector<std::string> styles;
        do {
            if (Peek().kind == Token::kPipe) Take();
            const bool negated = IsName("NOT");
            if (negated) Take();
            const Token& token = Expect(Token::kName, "a style name");
            const std::string& name = token.text;
            if (negated && name == "WS_VISIBLE") styles.push_back("kHidden");
            else if (const auto found = BehaviourStyles().find(name); found != BehaviourStyles().end())
                styles.push_back(negated ? "-" + found->second : found->second);
            else if (!IsLayoutStyle(name)) throw ScriptError(token.line, "unknown style " + name);
        } while (Peek().kind == Token::kPipe);
        return styles;
    }

    static void MergeStyles(std::vector<std::string>& styles, const std::vector<std::string>& given) {
        for (const std::string& style : given) {
            if (style.starts_with("-")) std::erase(styles, style.substr(1));
            else if (std::find(styles.begin(), styles.end(), style) == styles.end()) styles.push_back(style);
        }
    }

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
};

}  // namespace

std::vector<DialogEntry> ParseScript(std::string_view script) { return Parser(Tokenize(script)).Run(); }

}  // namespace korvan::rc
