// Window layouts as readable text:
//   object Form1: TForm1
//     ClientWidth = 598
//     Caption = 'Glimmora'
//     Font.Style = [fsBold]
//     object Panel1: TPanel ... end
//   end
// Values: integers, 'strings' ('' for a quote, #13 for a character code),
// identifiers (True, False, clMaroon, bsSingle) and sets [a, b].
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace toolkit {

struct LayoutValue {
    enum class Kind { Integer, String, Identifier, Set };
    Kind kind = Kind::Integer;
    long long integer = 0;
    std::string text;             // string or identifier
    std::vector<std::string> set; // set members

    bool AsBool() const;
};

struct LayoutObject {
    std::string name;
    std::string className;
    std::vector<std::pair<std::string, LayoutValue>> properties; // in the order written
    std::vector<std::unique_ptr<LayoutObject>> children;
};

// Parses one layout; throws toolkit::Exception naming the line of a fault.
std::unique_ptr<LayoutObject> ParseLayout(const std::string& text);

// The text of an RCDATA resource of the program, empty when there is none.
std::string LoadLayoutResource(const char* name);

} // namespace toolkit
