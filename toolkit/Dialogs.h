// Message boxes with the toolkit's German texts, and the input box. Tests
// install a hook that sees every box and answers it instead of a person.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace toolkit {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel };
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// What a box showed; for the input box also the prompt and the edited value.
struct DialogRecord {
    TMsgDlgType type = TMsgDlgType::mtCustom;
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
    bool isInput = false;
    std::string value;
};

// Returns the modal result; may change value for an input box.
using DialogHook = std::function<int(DialogRecord& box)>;
void SetDialogHook(DialogHook hook);

const char* DialogTitle(TMsgDlgType type);
const char* ButtonText(TMsgDlgBtn button);

// A box titled after its type ("Fehler", "Bestätigen", ...). No sound.
int MessageDlg(const std::string& text, TMsgDlgType type, const std::vector<TMsgDlgBtn>& buttons,
               int helpContext = 0);
// A box with a title of its own.
int ShowMessageBox(const std::string& title, const std::string& text, TMsgDlgType type,
                   const std::vector<TMsgDlgBtn>& buttons);
// The input box: true and the new value after OK.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

// A lone carriage return breaks a line: turns it into CR LF for drawing.
std::string ExpandLineBreaks(const std::string& text);

} // namespace toolkit
