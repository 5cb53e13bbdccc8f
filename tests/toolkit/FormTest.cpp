#include "toolkit/Application.h"
#include "toolkit/Errors.h"
#include "toolkit/Form.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

using namespace toolkit;

namespace {

const char kLayout[] = R"(
object TestForm: TForm
  BorderStyle = bsSingle
  ClientWidth = 300
  ClientHeight = 200
  Color = clMaroon
  object Box: TPanel
    Left = 0
    Top = 0
    Width = 150
    Height = 100
    TabOrder = 1
    object Second: TButton
      Left = 10
      Top = 10
      Width = 60
      Height = 24
      Caption = '&Second'
      TabOrder = 1
    end
    object First: TButton
      Left = 10
      Top = 40
      Width = 60
      Height = 24
      Caption = '&First'
      TabOrder = 0
    end
  end
  object Name: TEdit
    Left = 160
    Top = 10
    Width = 100
    Height = 24
    CharCase = ecUpperCase
    TabOrder = 0
  end
  object Off: TButton
    Left = 160
    Top = 50
    Width = 60
    Height = 24
    Caption = 'O&ff'
    Enabled = False
    TabOrder = 2
  end
end
)";

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStandardControls();
        form = std::make_unique<TForm>();
        form->LoadLayout(kLayout);
        form->Show();
        Application().ProcessMessages();
    }
    std::unique_ptr<TForm> form;
};

HWND Focus() {
    return GetFocus();
}

} // namespace

TEST_F(FormTest, HasTheClientSizeAndControlsOfItsLayout) {
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    auto* box = form->Find<TPanel>("Box");
    RECT r;
    GetWindowRect(box->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 150);
    EXPECT_EQ(form->Find<TButton>("Second")->Parent(), box);
    EXPECT_FALSE(IsWindowEnabled(form->Find<TButton>("Off")->Handle()));
}

TEST_F(FormTest, TabFollowsTabOrderIntoContainersAndSkipsDisabledControls) {
    auto* name = form->Find<TEdit>("Name");
    auto* first = form->Find<TButton>("First");
    auto* second = form->Find<TButton>("Second");
    name->SetFocus();
    SendMessageA(Focus(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(Focus(), first->Handle());
    SendMessageA(Focus(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(Focus(), second->Handle());
    SendMessageA(Focus(), WM_KEYDOWN, VK_TAB, 0); // "Off" is disabled
    EXPECT_EQ(Focus(), name->Handle());
}

TEST_F(FormTest, AccessLetterClicksEnabledButtonsOnly) {
    int clicks = 0, offClicks = 0;
    form->Find<TButton>("Second")->OnClick = [&](TControl*) { ++clicks; };
    form->Find<TButton>("Off")->OnClick = [&](TControl*) { ++offClicks; };
    HWND edit = form->Find<TEdit>("Name")->Handle();
    SendMessageA(edit, WM_SYSCHAR, 's', 0);
    SendMessageA(edit, WM_SYSCHAR, 'F', 0); // "&First" has no handler: no crash
    SendMessageA(edit, WM_SYSCHAR, 'f', 0); // "O&ff" is disabled
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(offClicks, 0);
}

TEST_F(FormTest, KeyPreviewSeesKeysFirstAndCanSwallowThem) {
    std::vector<std::string> order;
    auto* edit = form->Find<TEdit>("Name");
    form->KeyPreview = true;
    form->OnKeyPress = [&](TControl*, char& key) {
        order.push_back("form");
        if (key == 'x')
            key = 0;
    };
    edit->OnKeyPress = [&](TControl*, char&) { order.push_back("edit"); };
    SendMessageA(edit->Handle(), WM_CHAR, 'a', 0);
    SendMessageA(edit->Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(order, (std::vector<std::string>{"form", "edit", "form"}));
    EXPECT_EQ(edit->Text(), "A"); // upper case, "x" swallowed
}

TEST_F(FormTest, EnterPressesTheFocusedButton) {
    int clicks = 0;
    auto* first = form->Find<TButton>("First");
    first->OnClick = [&](TControl*) { ++clicks; };
    first->SetFocus();
    SendMessageA(first->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(clicks, 1);
}

TEST_F(FormTest, ScrollBarsAppearWhenAControlReachesPastTheClientArea) {
    form->AutoScroll = true;
    auto* box = form->Find<TPanel>("Box");
    form->UpdateScrollRange();
    EXPECT_FALSE(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_VSCROLL);
    box->SetBounds(0, 0, 150, 500);
    form->UpdateScrollRange();
    EXPECT_TRUE(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_VSCROLL);
    SendMessageA(form->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_GT(form->ScrollPosition().y, 0);
    RECT r;
    GetWindowRect(box->Handle(), &r);
    POINT origin{r.left, r.top};
    ScreenToClient(form->Handle(), &origin);
    EXPECT_EQ(origin.y, -form->ScrollPosition().y);
    box->SetBounds(0, box->Top(), 150, 100);
    form->UpdateScrollRange();
    EXPECT_EQ(form->ScrollPosition().y, 0);
    EXPECT_FALSE(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_VSCROLL);
}

TEST(LayoutErrors, UnknownClassOrPropertyIsReported) {
    RegisterStandardControls();
    TForm form;
    EXPECT_THROW(form.LoadLayout("object F: TForm\n object X: TNoSuch\n end\nend"), Exception);
    TForm other;
    EXPECT_THROW(other.LoadLayout("object F: TForm\n object X: TPanel\n Bogus = 1\n end\nend"),
                 Exception);
}
