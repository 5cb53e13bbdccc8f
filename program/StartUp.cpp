#include "program/StartUp.h"

#include "browser/Unit1.h"
#include "fullscreen/Unit2.h"
#include "image/LibraryBinding.h"
#include "program/WindowLinks.h"
#include "shell/Extensions.h"
#include "shell/LetterCase.h"
#include "shell/Paths.h"
#include "shell/ShellRegistration.h"
#include "shell/Uninstall.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

#include <windows.h>

#include <memory>

namespace program {

namespace {

const char* SkipParameter(const char* p, std::string* out) {
    while (*p && static_cast<unsigned char>(*p) <= ' ')
        ++p;
    bool quoted = false;
    while (*p && (quoted || static_cast<unsigned char>(*p) > ' ')) {
        if (*p == '"')
            quoted = !quoted;
        else if (out)
            *out += *p;
        ++p;
    }
    return p;
}

} // namespace

std::string FirstParameter(const char* commandLine) {
    if (!commandLine)
        return {};
    const char* rest = SkipParameter(commandLine, nullptr); // the program itself
    std::string parameter;
    SkipParameter(rest, &parameter);
    return parameter;
}

bool AskUninstall() {
    MessageBeep(MB_ICONQUESTION);
    return toolkit::MessageDlg("Glimmora -32 is going to delete itself from your system.\r"
                               "Do you want to proceed the Uninstall process ?",
                               toolkit::TMsgDlgType::mtConfirmation,
                               {toolkit::TMsgDlgBtn::mbYes, toolkit::TMsgDlgBtn::mbNo},
                               0) == toolkit::mrYes;
}

bool IsPictureParameter(const std::string& parameter) {
    return !parameter.empty() && shell::IsExistingFile(parameter) &&
           shell::IsSupportedExtension(parameter);
}

namespace {

// A form published through its global pointer for as long as it lives.
template <typename Form> class PublishedForm {
public:
    explicit PublishedForm(Form*& slot) : slot_(slot), form_(std::make_unique<Form>()) {
        slot_ = form_.get();
    }
    PublishedForm(const PublishedForm&) = delete;
    PublishedForm& operator=(const PublishedForm&) = delete;
    ~PublishedForm() {
        form_.reset();
        slot_ = nullptr;
    }
    Form& operator*() const { return *form_; }
    Form* operator->() const { return form_.get(); }

private:
    Form*& slot_;
    std::unique_ptr<Form> form_;
};

void RunWindows(const std::string& firstParameter) {
    toolkit::TApplication& app = toolkit::Application();
    PublishedForm<browser::TForm1> form1(browser::Form1);
    PublishedForm<fullscreen::TForm2> form2(fullscreen::Form2);
    form2->SetOwner(*form1);
    const WindowLinks links(*form1, *form2);
    form1->Show();
    if (IsPictureParameter(firstParameter))
        try {
            form1->OpenPicturePath(firstParameter);
        } catch (...) {
            // Reported like any error in the window; the program carries on.
            app.HandleException();
        }
    app.Run();
}

} // namespace

int RunProgram(const std::string& firstParameter) {
    // Module start-up.
    toolkit::TApplication& app = toolkit::Application();
    // Boxes shown before the browser window names the picture carry it.
    app.SetTitle("Glimmora32");
    image::InitializeLibraryBinding();
    // The shell entries, at every start.
    shell::RegisterShellEntries();
    if (shell::UpperCaseAnsi(firstParameter) == "-U") {
        if (AskUninstall())
            shell::RunUninstall();
        return 0;
    }
    try {
        RunWindows(firstParameter);
    } catch (...) {
        // Windows that could not be built: the general error report, then the end.
        app.HandleException();
        return 1;
    }
    return 0;
}

} // namespace program
