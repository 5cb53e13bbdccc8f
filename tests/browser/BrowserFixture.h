// A browser window created for one test, with the help viewer, the message
// boxes and the start-up show state replaced, the program folder in a scratch
// folder and the current folder and registry put back afterwards.
#pragma once

#include "common/TestSupport.h"
#include "browser/Unit1.h"
#include "fullscreen/Unit2.h"
#include "program/WindowLinks.h"
#include "toolkit/Dialogs.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace glimtest {

struct HelpCall {
    std::string file;
    UINT command;
    ULONG_PTR data;
};

class BrowserTest : public ::testing::Test {
protected:
    BrowserTest();
    ~BrowserTest() override;
    // Closes the form and leaves the scratch folders before they are removed.
    void TearDown() override;

    // Creates Form1 while the process's current folder is the given one.
    browser::TForm1& OpenForm(const std::string& folder);
    // The full-screen view, connected to the form as the program connects them.
    void OpenFullView();
    // Closes the view, then the form.
    void CloseForm();
    // The index of the list entry with this text, -1 for none.
    int EntryIndex(const std::string& text) const;
    // GLIMR32.HLP and GLIMR32.CNT beside the program file.
    void AddHelpFiles(bool help, bool contents);

    SavedProgramKeys savedEntries;
    CurrentFolderGuard folderGuard;
    ScratchFolder programFolder;
    ScratchFolder windowsFolder;
    ScratchFolder scratch; // the folder most tests show
    std::vector<HelpCall> helpCalls;
    std::vector<toolkit::DialogRecord> dialogs;
    std::unique_ptr<browser::TForm1> form;
    std::unique_ptr<fullscreen::TForm2> form2;
    std::unique_ptr<program::WindowLinks> links;
};

// What the start-up information says about the show state, and how often
// it was asked.
extern int startupShow;
extern int startupShowReads;

// Lets the toolkit handle everything queued.
void ProcessPending();
// Posts a key press as the keyboard does (down and up) and lets it run.
void PressKey(HWND window, WORD key);
// Alt together with a letter, as it reaches the focused control.
void PressAltLetter(HWND window, char letter);
// Shift held (or not) for the keys that follow.
void HoldShift(bool down);

std::string WindowText(HWND window);
// The focused control's name, "" for none of the form's.
std::string FocusedName();

} // namespace glimtest
