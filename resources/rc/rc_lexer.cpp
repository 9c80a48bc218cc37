#include "resources/rc/rc_lexer.h"

#include <cctype>
#include <cstdlib>

namespace korvan::rc {
namespace {

class Lexer {
public:
    explicit Lexer(std::string_view script) : script_(script) {}

    std::vector<Token> Run() {
        std::vector<Token> tokens;
        for (SkipBlanks(); pos_ < script_.size(); SkipBlanks()) tokens.push_back(Next());
        tokens.push_back({Token::kEnd, "", 0, line_});
        return tokens;
    }

private:
    char Peek(std::size_t ahead = 0) const {
        return pos_ + ahead < script_.size() ? script_[pos_ + ahead] : '\0';
    }

    void SkipBlanks() {
        while (pos_ < script_.size()) {
            const char c = Peek();
            if (c == '\n') ++line_;
            if (std::isspace(static_cast<unsigned char>(c))) ++pos_;
            else if (c == '/' && Peek(1) == '/') SkipLine();
            else if (c == '#' && AtLineStart()) SkipLine();
            else if (c == '/' && Peek(1) == '*') SkipBlockComment();
            else return;
        }
    }

    bool AtLineStart() const {
        std::size_t i = pos_;
        while (i > 0 && (script_[i - 1] == ' ' || script_[i - 1] == '\t')) --i;
        return i == 0 || script_[i - 1] == '\n';
    }

    void SkipLine() {
        while (pos_ < script_.size() && Peek() != '\n') ++pos_;
    }

    void SkipBlockComment() {
        const int startLine = line_;
        pos_ += 2;
        while (pos_ < script_.size() && !(Peek() == '*' && Peek(1) == '/')) {
            if (Peek() == '\n') ++line_;
            ++pos_;
        }
        if (pos_ >= script_.size()) throw ScriptError(startLine, "comment without end");
        pos_ += 2;
    }

    Token Next() {
        const char c = Peek();
        if (c == ',') return Single(Token::kComma);
        if (c == '|') return Single(Token::kPipe);
        if (c == '"') return String();
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-') return Number();
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') return Name();
        throw ScriptError(line_, std::string("unexpected character '") + c + "'");
    }

    Token Single(Token::Kind kind) {
        ++pos_;
        return {kind, "", 0, line_};
    }

    Token Number() {
        const char* begin = script_.data() + pos_;
        const std::string_view rest = script_.substr(pos_);
        const bool hex = rest.starts_with("0x") || rest.starts_with("-0x");
        char* end = nullptr;
        const long value = std::strtol(begin, &end, hex ? 16 : 10);
        if (end == begin) throw ScriptError(line_, "a number was expected");
        pos_ += static_cast<std::size_t>(end - begin);
        return {Token::kNumber, "", value, line_};
    }

    Token Name() {
        const std::size_t start = pos_;
        while (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_') ++pos_;
        return {Token::kName, std::string(script_.substr(start, pos_ - start)), 0, line_};
    }

    // "..." with "" standing for one quote and the escapes \\ \" \n \t.
    Token String() {
        const int startLine = line_;
        std::string text;
        for (++pos_;; ++pos_) {
            if (pos_ >= script_.size() || Peek() == '\n') throw ScriptError(startLine, "string without end");
            const char c = Peek();
            if (c == '"' && Peek(1) == '"') {
                text += '"';
                ++pos_;
            } else if (c == '"') {
                ++pos_;
                return {Token::kString, text, 0, startLine};
            } else if (c == '\\') {
                text += Escaped(Peek(1));
                ++pos_;
            } else {
                text += c;
            }
        }
    }

    char Escaped(char c) const {
        switch (c) {
            case '\\': return '\\';
            case '"': return '"';
            case 'n': return '\n';
            case 't': return '\t';
            default: throw ScriptError(line_, std::string("unknown escape \\") + c);
        }
    }

    std::string_view script_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view script) { return Lexer(script).Run(); }

}  // namespace korvan::rc
