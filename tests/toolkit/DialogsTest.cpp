#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Errors.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <type_traits>

using namespace toolkit;

namespace {

// Clicks the button with the given text in the first box that appears.
std::string buttonToClick;
std::vector<std::string> seenButtons;
std::string seenTitle;
LRESULT seenEditLimit = 0;

BOOL CALLBACK CollectButton(HWND child, LPARAM) {
    char cls[32] = {}, text[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(cls, "Edit") == 0)
        seenEditLimit = SendMessageA(child, EM_GETLIMITTEXT, 0, 0);
    if (lstrcmpiA(cls, "Button") == 0) {
        seenButtons.push_back(text);
        if (buttonToClick == text)
            PostMessageA(child, BM_CLICK, 0, 0);
    }
    return TRUE;
}

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowA("Glimmora.Dialog", nullptr);
    if (!box)
        return;
    KillTimer(nullptr, id);
    char title[64] = {};
    GetWindowTextA(box, title, sizeof title);
    seenTitle = title;
    EnumChildWindows(box, CollectButton, 0);
}

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using TopLevelWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

TopLevelWindow ShowTopLevel(const char* title) {
    return TopLevelWindow(CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                          0, 200, 100, nullptr, nullptr, nullptr, nullptr));
}

class RealDialog : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogHook(nullptr);
        seenButtons.clear();
        seenTitle.clear();
        timer_ = SetTimer(nullptr, 0, 50, AnswerBox);
    }
    void TearDown() override { KillTimer(nullptr, timer_); }
    UINT_PTR timer_ = 0;
};

} // namespace

TEST(DialogHook, SeesTheGermanTitlesAndButtons) {
    DialogRecord seen;
    SetDialogHook([&](DialogRecord& box) {
        seen = box;
        return mrNo;
    });
    EXPECT_EQ(MessageDlg("Line one\rLine two", TMsgDlgType::mtConfirmation,
                         {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}),
              mrNo);
    EXPECT_EQ(seen.title, "Bestätigen");
    EXPECT_EQ(seen.text, "Line one\rLine two");
    EXPECT_EQ(seen.buttons, (std::vector<std::string>{"&Ja", "&Nein"}));

    MessageDlg("x", TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel});
    EXPECT_EQ(seen.title, "Warnung");
    EXPECT_EQ(seen.buttons, (std::vector<std::string>{"OK", "Abbrechen"}));
    MessageDlg("x", TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
    EXPECT_EQ(seen.title, "Fehler");
    MessageDlg("x", TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK});
    EXPECT_EQ(seen.title, "Information");
    SetDialogHook(nullptr);
}

TEST(DialogHook, AnswersTheInputBox) {
    SetDialogHook([](DialogRecord& box) {
        EXPECT_TRUE(box.isInput);
        EXPECT_EQ(box.title, "Rename File");
        EXPECT_EQ(box.text, "New Name:");
        EXPECT_EQ(box.value, "OLD.BMP");
        box.value = "NEW.BMP";
        return mrOk;
    });
    std::string value = "OLD.BMP";
    EXPECT_TRUE(InputQuery("Rename File", "New Name:", value));
    EXPECT_EQ(value, "NEW.BMP");

    SetDialogHook([](DialogRecord& box) {
        box.value = "IGNORED";
        return mrCancel;
    });
    value = "OLD.BMP";
    EXPECT_FALSE(InputQuery("Rename File", "New Name:", value));
    EXPECT_EQ(value, "OLD.BMP");
    SetDialogHook(nullptr);
}

TEST(ExpandLineBreaks, BreaksOnlyAtLoneCarriageReturns) {
    EXPECT_EQ(ExpandLineBreaks("a\rb"), "a\r\nb");
    EXPECT_EQ(ExpandLineBreaks("a\r\nb"), "a\r\nb");
    EXPECT_EQ(ExpandLineBreaks("a\r"), "a\r\n");
    EXPECT_EQ(ExpandLineBreaks("plain"), "plain");
}

TEST(GeneralErrorReport, ShowsTheTextWithAFullStopUnderTheTitle) {
    DialogRecord seen;
    SetDialogHook([&](DialogRecord& box) {
        seen = box;
        return mrOk;
    });
    Application().SetTitle("Glimmora32 - [Noname]");
    Application().ShowException(Exception("Kann nicht nach C:\\X.INI schreiben"));
    EXPECT_EQ(seen.type, TMsgDlgType::mtError);
    EXPECT_EQ(seen.title, "Glimmora32 - [Noname]");
    EXPECT_EQ(seen.text, "Kann nicht nach C:\\X.INI schreiben.");
    Application().ShowException(Exception("Ends already."));
    EXPECT_EQ(seen.text, "Ends already.");
    SetDialogHook(nullptr);
}

TEST_F(RealDialog, ShowsItsButtonsAndReturnsTheOneClicked) {
    buttonToClick = "&Nein";
    int result = MessageDlg("Do you want to proceed ?", TMsgDlgType::mtConfirmation,
                            {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
    EXPECT_EQ(result, mrNo);
    EXPECT_EQ(seenTitle, "Bestätigen");
    EXPECT_EQ(seenButtons, (std::vector<std::string>{"&Ja", "&Nein"}));
}

TEST_F(RealDialog, InputBoxReturnsTheEditedText) {
    buttonToClick = "OK";
    std::string value = "SUNSET.BMP";
    EXPECT_TRUE(InputQuery("Rename File", "New Name:", value));
    EXPECT_EQ(value, "SUNSET.BMP");
    EXPECT_EQ(seenTitle, "Rename File");
    EXPECT_EQ(seenEditLimit, 255); // a file name, no longer
}

// A load keeps its window disabled between its boxes; each box still hands
// the activation back to it, not to another window.
TEST_F(RealDialog, HandsTheActivationBackToAnOwnerKeptDisabled) {
    const TopLevelWindow other = ShowTopLevel("another program");
    const TopLevelWindow owner = ShowTopLevel("loading");
    SetActiveWindow(owner.get());
    ASSERT_EQ(GetActiveWindow(), owner.get());
    EnableWindow(owner.get(), FALSE);
    buttonToClick = "OK";
    MessageDlg("Bad picture", TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
    EXPECT_EQ(seenButtons, std::vector<std::string>{"OK"});
    EXPECT_EQ(GetActiveWindow(), owner.get());
    EXPECT_FALSE(IsWindowEnabled(owner.get()));
}
