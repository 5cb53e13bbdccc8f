#include "toolkit/Errors.h"
#include "toolkit/Layout.h"

#include <gtest/gtest.h>

using namespace toolkit;

TEST(ParseLayout, ReadsObjectsPropertiesAndValuesInOrder) {
    auto root = ParseLayout(R"(// comment
object Form1: TForm1
  ClientWidth = 598
  Color = $000080
  Caption = 'It''s '#13'two'
  Font.Style = [fsBold, fsItalic]
  Font.Height = -11
  KeyPreview = True
  object Panel1: TPanel
    object Label1: TLabel
      Caption = ''
    end
  end
  object Button1: TButton
  end
end
)");
    EXPECT_EQ(root->name, "Form1");
    EXPECT_EQ(root->className, "TForm1");
    ASSERT_EQ(root->properties.size(), 6u);
    EXPECT_EQ(root->properties[0].first, "ClientWidth");
    EXPECT_EQ(root->properties[0].second.integer, 598);
    EXPECT_EQ(root->properties[1].second.integer, 0x80);
    EXPECT_EQ(root->properties[2].second.text, "It's \rtwo");
    EXPECT_EQ(root->properties[3].first, "Font.Style");
    EXPECT_EQ(root->properties[3].second.set, (std::vector<std::string>{"fsBold", "fsItalic"}));
    EXPECT_EQ(root->properties[4].second.integer, -11);
    EXPECT_TRUE(root->properties[5].second.AsBool());
    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(root->children[0]->name, "Panel1");
    ASSERT_EQ(root->children[0]->children.size(), 1u);
    EXPECT_EQ(root->children[0]->children[0]->properties[0].second.text, "");
    EXPECT_EQ(root->children[1]->className, "TButton");
}

TEST(ParseLayout, NamesTheLineOfAFault) {
    auto messageOf = [](const char* text) {
        try {
            ParseLayout(text);
        } catch (const Exception& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(messageOf("object A: TA\n  Caption = 'open\nend"),
              "Layout line 2: unterminated string");
    EXPECT_EQ(messageOf("object A: TA\n  Left 5\nend"), "Layout line 2: '=' expected");
    EXPECT_EQ(messageOf("object A: TA\n"), "Layout line 2: missing 'end'");
    EXPECT_EQ(messageOf("object A: TA\nend\nend"), "Layout line 3: text after the last 'end'");
    EXPECT_EQ(messageOf("object A: TA\n Width = 99999999999\nend"),
              "Layout line 2: number too large");
}

TEST(LoadLayoutResource, FindsTheWindowLayoutsOfTheProgram) {
    // The test program carries the program's resources.
    std::string text = LoadLayoutResource("FORM1");
    ASSERT_FALSE(text.empty());
    auto root = ParseLayout(text);
    EXPECT_EQ(root->className, "TForm1");
    EXPECT_TRUE(LoadLayoutResource("NO_SUCH_LAYOUT").empty());
}
