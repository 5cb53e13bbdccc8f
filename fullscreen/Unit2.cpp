#include "fullscreen/Unit2.h"

#include "shell/AnsiNames.h"
#include "shell/Extensions.h"
#include "shell/Paths.h"
#include "toolkit/Application.h"

namespace fullscreen {

TForm2* Form2 = nullptr;

namespace {

bool MouseButtonDown() {
    return GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 ||
           GetKeyState(VK_MBUTTON) < 0;
}

// An auto-repeat (the key was already down) of a stepping key.
bool IsStepRepeat(const MSG& msg) {
    if (!(msg.lParam & (1 << 30)))
        return false;
    if (msg.message == WM_CHAR)
        return msg.wParam == '+' || msg.wParam == '-';
    return msg.message == WM_KEYDOWN && (msg.wParam == VK_ADD || msg.wParam == VK_SUBTRACT ||
                                         msg.wParam == VK_OEM_PLUS || msg.wParam == VK_OEM_MINUS);
}

// The repeats of a held "+" or "-" that came in while a picture was shown:
// the key steps as fast as pictures can be shown, and stops when released.
// Any other key behind them is kept.
void DropQueuedStepRepeats() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) && IsStepRepeat(msg))
        PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
}

} // namespace

namespace {

// One axis of the scroll table: pos and size of the picture, the client's extent.
LONG LineForward(LONG pos, LONG size, LONG client) {
    return client < pos + size ? pos - 2 : pos;
}
LONG LineBack(LONG pos) {
    return pos < 0 ? pos + 2 : pos;
}

LONG PageForward(LONG pos, LONG size, LONG client) {
    if (client + 9 < pos + size)
        return pos - 10;
    return client < pos + size ? client - size : pos; // far edges aligned
}

LONG PageBack(LONG pos) {
    if (pos < -9)
        return pos + 10;
    return pos < 0 ? 0 : pos;
}

} // namespace

POINT ScrolledPosition(WORD key, POINT p, SIZE picture, SIZE client) {
    switch (key) {
    case VK_DOWN:
        p.y = LineForward(p.y, picture.cy, client.cy);
        break;
    case VK_UP:
        p.y = LineBack(p.y);
        break;
    case VK_RIGHT:
        p.x = LineForward(p.x, picture.cx, client.cx);
        break;
    case VK_LEFT:
        p.x = LineBack(p.x);
        break;
    case VK_NEXT:
        p.y = PageForward(p.y, picture.cy, client.cy);
        break;
    case VK_PRIOR:
        p.y = PageBack(p.y);
        break;
    case VK_END:
        p.x = PageForward(p.x, picture.cx, client.cx);
        break;
    case VK_HOME:
        p.x = PageBack(p.x);
        break;
    default:
        break;
    }
    return p;
}

bool IsSingleModifier(unsigned shift, bool mouseButtonDown) {
    return !mouseButtonDown &&
           (shift == toolkit::ssShift || shift == toolkit::ssAlt || shift == toolkit::ssCtrl);
}

TForm2::TForm2() {
    image::TPMultiImage::Register();
    LoadLayout(toolkit::LoadLayoutResource("FORM2"));
    PMultiImage1 = Find<image::TPMultiImage>("PMultiImage1");
    OnShow = [this](TControl* s) { FormShow(s); };
    OnClick = [this](TControl* s) { FormClick(s); };
    OnClose = [this](TControl* s, toolkit::TCloseAction& a) { FormClose(s, a); };
    OnKeyPress = [this](TControl* s, char& k) { FormKeyPress(s, k); };
    OnKeyDown = [this](TControl* s, WORD& k, unsigned sh) { FormKeyDown(s, k, sh); };
}

LRESULT TForm2::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETMINMAXINFO) {
        // Maximised over the whole screen, taskbar included.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxPosition = {0, 0};
        info->ptMaxSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return 0;
    }
    return TForm::WndProc(msg, wParam, lParam);
}

void TForm2::ShowPicture(const toolkit::TPicture& picture) {
    PMultiImage1->SetVisible(true);
    PMultiImage1->SetPicture(picture);
}

void TForm2::ClearPicture() {
    PMultiImage1->SetVisible(false);
    PMultiImage1->SetImageName("");
}

void TForm2::PlaceFullScreenImage() {
    toolkit::Application().SetScreenCursor(toolkit::TCursor::crNone);
    const SIZE size = folder_ ? folder_->PictureSize() : SIZE{0, 0};
    PMultiImage1->SetBounds(0, 0, size.cx, size.cy);
}

void TForm2::FormShow(toolkit::TControl*) {
    PlaceFullScreenImage();
}

void TForm2::FormClick(toolkit::TControl*) {
    Close();
}

void TForm2::FormClose(toolkit::TControl*, toolkit::TCloseAction&) {
    toolkit::Application().SetScreenCursor(toolkit::TCursor::crDefault);
}

void TForm2::ShowSelectedPicture() {
    if (!folder_) {
        stopFlag_ = true;
        return;
    }
    std::string path = folder_->SelectedEntryPath();
    pictureFlag_ = shell::IsSupportedExtension(path);
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (shell::IsFileAttributes(attributes) && pictureFlag_) {
        try {
            folder_->LoadPicture(path);
        } catch (...) {
            // A loader error is reported; the step stops like any failed one.
            toolkit::Application().HandleException();
        }
        PlaceFullScreenImage();
        lastShownPath_ = path;
        stopFlag_ = true;
    } else if (!shell::IsFileAttributes(attributes) &&
               !shell::IsUnreachableName(shell::NamePart(path))) {
        stopFlag_ = true; // a folder entry, or nothing selected
    }
    // An entry the code page cannot name is passed over like another file.
}

void TForm2::FormKeyPress(toolkit::TControl*, char& key) {
    if (key == toolkit::kEnterChar || key == toolkit::kEscapeChar || key == ' ')
        Close();
    if (!folder_)
        return;
    PictureFolder& folder = *folder_;
    stopFlag_ = false;
    lastShownPath_ = folder.SelectedEntryPath();
    if (key == '+' || key == '-') {
        const int step = key == '+' ? 1 : -1;
        while (!stopFlag_) {
            int next = folder.SelectedEntry() + step;
            if (step > 0 ? next <= folder.EntryCount() - 1 : folder.SelectedEntry() > 0) {
                folder.SelectEntry(next);
                ShowSelectedPicture();
            } else {
                stopFlag_ = true;
            }
        }
        DropQueuedStepRepeats();
    }
    std::string name = shell::NamePart(lastShownPath_);
    int found = -1;
    for (int i = 0; i < folder.EntryCount() && found < 0; ++i)
        if (lstrcmpiA(folder.EntryText(i).c_str(), name.c_str()) == 0)
            found = i;
    folder.SelectEntry(found);
    folder.SetNameText(name);
}

void TForm2::FormKeyDown(toolkit::TControl*, WORD& key, unsigned shift) {
    toolkit::Application().ProcessMessages();
    RECT client;
    GetClientRect(Handle(), &client);
    POINT moved = ScrolledPosition(key, {PMultiImage1->Left(), PMultiImage1->Top()},
                                   {PMultiImage1->Width(), PMultiImage1->Height()},
                                   {client.right, client.bottom});
    if (moved.x != PMultiImage1->Left() || moved.y != PMultiImage1->Top())
        PMultiImage1->SetBounds(moved.x, moved.y, PMultiImage1->Width(), PMultiImage1->Height());
    if (IsSingleModifier(shift, MouseButtonDown()))
        Close();
}

} // namespace fullscreen
