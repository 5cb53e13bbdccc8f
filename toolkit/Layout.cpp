#include "toolkit/Layout.h"

#include "toolkit/Errors.h"

#include <windows.h>

#include <cctype>

namespace toolkit {

bool LayoutValue::AsBool() const {
    return kind == Kind::Identifier ? text == "True" : integer != 0;
}

namespace {

class LayoutParser {
public:
    explicit LayoutParser(const std::string& text) : text_(text) {}

    std::unique_ptr<LayoutObject> ParseObject() {
        ExpectWord("object");
        auto object = std::make_unique<LayoutObject>();
        object->name = Word();
        Expect(':');
        object->className = Word();
        for (;;) {
            SkipBlanks();
            if (AtEnd())
                Fail("missing 'end'");
            std::string word = PeekWord();
            if (word == "end") {
                Word();
                return object;
            }
            if (word == "object") {
                object->children.push_back(ParseObject());
                continue;
            }
            std::string name = Word();
            while (Peek() == '.') {
                ++pos_;
                name += '.';
                name += Word();
            }
            Expect('=');
            object->properties.emplace_back(name, Value());
        }
    }

    void ExpectEnd() {
        SkipBlanks();
        if (!AtEnd())
            Fail("text after the last 'end'");
    }

private:
    LayoutValue Value() {
        SkipBlanks();
        LayoutValue value;
        char c = Peek();
        if (c == '\'' || c == '#') {
            value.kind = LayoutValue::Kind::String;
            value.text = StringLiteral();
        } else if (c == '[') {
            ++pos_;
            value.kind = LayoutValue::Kind::Set;
            SkipBlanks();
            while (Peek() != ']') {
                value.set.push_back(Word());
                SkipBlanks();
                if (Peek() == ',')
                    ++pos_;
                else if (Peek() != ']')
                    Fail("',' or ']' expected");
            }
            ++pos_;
        } else if (c == '-' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
            value.kind = LayoutValue::Kind::Integer;
            value.integer = Integer();
        } else {
            value.kind = LayoutValue::Kind::Identifier;
            value.text = Word();
        }
        return value;
    }

    std::string StringLiteral() {
        std::string out;
        for (;;) {
            char c = Peek();
            if (c == '\'') {
                ++pos_;
                for (;;) {
                    if (AtEnd() || text_[pos_] == '\n')
                        Fail("unterminated string");
                    if (text_[pos_] == '\'') {
                        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                            out += '\'';
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    out += text_[pos_++];
                }
            } else if (c == '#') {
                ++pos_;
                out += static_cast<char>(Integer());
            } else {
                return out;
            }
        }
    }

    long long Integer() {
        bool negative = false;
        if (Peek() == '-') {
            negative = true;
            ++pos_;
        }
        int base = 10;
        if (Peek() == '$') {
            base = 16;
            ++pos_;
        }
        size_t start = pos_;
        long long value = 0;
        while (!AtEnd() && std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
            char c = text_[pos_];
            int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                                    : (std::toupper(c) - 'A' + 10);
            if (digit >= base)
                break;
            value = value * base + digit;
            if (value > 0xFFFFFFFFLL)
                Fail("number too large");
            ++pos_;
        }
        if (pos_ == start)
            Fail("number expected");
        return negative ? -value : value;
    }

    std::string PeekWord() {
        size_t saved = pos_;
        std::string word = Word();
        pos_ = saved;
        return word;
    }

    std::string Word() {
        SkipBlanks();
        size_t start = pos_;
        while (!AtEnd() &&
               (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
            ++pos_;
        if (pos_ == start)
            Fail("name expected");
        return text_.substr(start, pos_ - start);
    }

    void ExpectWord(const char* word) {
        if (Word() != word)
            Fail(std::string("'") + word + "' expected");
    }

    void Expect(char c) {
        SkipBlanks();
        if (Peek() != c)
            Fail(std::string("'") + c + "' expected");
        ++pos_;
    }

    char Peek() {
        SkipBlanks();
        return AtEnd() ? '\0' : text_[pos_];
    }

    void SkipBlanks() {
        while (!AtEnd()) {
            char c = text_[pos_];
            if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
                while (!AtEnd() && text_[pos_] != '\n')
                    ++pos_;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else {
                break;
            }
        }
    }

    bool AtEnd() const { return pos_ >= text_.size(); }

    [[noreturn]] void Fail(const std::string& what) {
        int line = 1;
        for (size_t i = 0; i < pos_ && i < text_.size(); ++i)
            line += text_[i] == '\n';
        throw Exception("Layout line " + std::to_string(line) + ": " + what);
    }

    const std::string& text_;
    size_t pos_ = 0;
};

} // namespace

std::unique_ptr<LayoutObject> ParseLayout(const std::string& text) {
    LayoutParser parser(text);
    auto object = parser.ParseObject();
    parser.ExpectEnd();
    return object;
}

std::string LoadLayoutResource(const char* name) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name, RT_RCDATA);
    if (!info)
        return {};
    HGLOBAL data = LoadResource(module, info);
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!bytes)
        return {};
    return std::string(bytes, SizeofResource(module, info));
}

} // namespace toolkit
