// The drive box on a machine of the test's own making.
#include "BrowserFixture.h"

#include "toolkit/Form.h"

using namespace glimtest;
using browser::DriveProbe;
using browser::GlyphKind;
using browser::TDriveComboBox;

namespace {

// A: floppy, C: fixed, D: CD-ROM without disc, F: network, G: unknown kind,
// H: no root, N: network without connection, R: RAM disk.
class DriveBox : public BrowserTest {
protected:
    DriveBox() {
        DriveProbe probe;
        probe.logicalDrives = [] {
            DWORD drives = 0;
            for (char c : std::string("ACDFGHNR"))
                drives |= 1u << (c - 'A');
            return drives;
        };
        probe.driveType = [](const std::string& root) -> UINT {
            switch (root[0]) {
            case 'A':
                return DRIVE_REMOVABLE;
            case 'C':
                return DRIVE_FIXED;
            case 'D':
                return DRIVE_CDROM;
            case 'F':
            case 'N':
                return DRIVE_REMOTE;
            case 'G':
                return DRIVE_UNKNOWN;
            case 'H':
                return DRIVE_NO_ROOT_DIR;
            case 'R':
                return DRIVE_RAMDISK;
            }
            return DRIVE_UNKNOWN;
        };
        probe.volumeLabel = [this](const std::string& root, std::string& label) {
            labelsAsked.push_back(root);
            switch (root[0]) {
            case 'C':
                label = "system";
                return true;
            case 'N':
                label = "netlabel";
                return true;
            case 'R':
                label = "r\xe4m"; // a-umlaut in code page 1252
                return true;
            }
            label.clear();
            return false;
        };
        probe.remoteName = [this](const std::string& drive, std::string& remote) {
            remotesAsked.push_back(drive);
            if (drive != "F:")
                return false;
            remote = "\\\\server\\share";
            return true;
        };
        TDriveComboBox::SetProbe(probe);
        // The current drive at creation is the current folder's: C.
        EXPECT_EQ(toupper(scratch.Path()[0]), 'C');
        SetCurrentDirectoryA(scratch.Path().c_str());
    }
    ~DriveBox() override {
        host.reset();
        TDriveComboBox::SetProbe(DriveProbe::System());
    }

    // The box alone on a window of its own, so that only the test listens.
    TDriveComboBox& CreateBox() {
        host = std::make_unique<toolkit::TForm>();
        host->CreateHandle();
        box = toolkit::MakeControl<TDriveComboBox>(host.get(), "DriveBox");
        box->SetBounds(8, 8, 164, 150);
        box->OnChange = [this](toolkit::TControl*) { changes.push_back(box->Drive()); };
        return *box;
    }

    std::vector<std::string> Texts(HWND combo) {
        std::vector<std::string> texts;
        LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[MAX_PATH] = {};
            SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(text));
            texts.push_back(text);
        }
        return texts;
    }
    std::string SelectedText(HWND combo) {
        LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        return index < 0 ? "<none>" : Texts(combo).at(static_cast<size_t>(index));
    }

    std::vector<std::string> labelsAsked, remotesAsked;
    std::vector<char> changes;
    std::unique_ptr<toolkit::TForm> host;
    TDriveComboBox* box = nullptr;
};

const std::vector<std::string> kTexts = {
    "A:", "C: [SYSTEM]", "D: []", "F: \\\\SERVER\\SHARE", "N: [NETLABEL]", "R: [R\xc4M]",
};

} // namespace

TEST_F(DriveBox, ShowsEachKnownDriveInLetterOrder) {
    TDriveComboBox& drives = CreateBox();
    EXPECT_EQ(Texts(drives.Handle()), kTexts);
    std::vector<GlyphKind> glyphs;
    for (const auto& entry : drives.Entries())
        glyphs.push_back(entry.glyph);
    EXPECT_EQ(glyphs,
              (std::vector<GlyphKind>{GlyphKind::Floppy, GlyphKind::Hard, GlyphKind::CdRom,
                                      GlyphKind::Network, GlyphKind::Network, GlyphKind::Ram}));
    // The floppy is never touched; a connected network drive needs no label.
    EXPECT_EQ(labelsAsked, (std::vector<std::string>{"C:\\", "D:\\", "N:\\", "R:\\"}));
    EXPECT_EQ(remotesAsked, (std::vector<std::string>{"F:", "N:"}));
    EXPECT_EQ(drives.Drive(), 'C');
    EXPECT_EQ(SelectedText(drives.Handle()), "C: [SYSTEM]");
    EXPECT_TRUE(changes.empty());
}

TEST_F(DriveBox, Form1ShowsTheDrivesAndSavesTheCurrentOne) {
    browser::TForm1& f = OpenForm(scratch.Path());
    EXPECT_EQ(Texts(f.DriveComboBox1->Handle()), kTexts);
    EXPECT_EQ(SelectedText(f.DriveComboBox1->Handle()), "C: [SYSTEM]");
    EXPECT_EQ(browser::SavedDrive(), 'C');
}

TEST_F(DriveBox, SelectDriveRaisesTheChangeOnlyForAnotherDrive) {
    TDriveComboBox& drives = CreateBox();
    drives.SelectDrive('C');
    drives.SelectDrive('c');
    EXPECT_TRUE(changes.empty());

    drives.SelectDrive('d');
    EXPECT_EQ(changes, std::vector<char>{'D'});
    EXPECT_EQ(drives.Drive(), 'D');
    EXPECT_EQ(SelectedText(drives.Handle()), "D: []");
    drives.SelectDrive('D');
    EXPECT_EQ(changes.size(), 1u);

    drives.SelectDrive('F');
    EXPECT_EQ(SelectedText(drives.Handle()), "F: \\\\SERVER\\SHARE");
    EXPECT_EQ(changes, (std::vector<char>{'D', 'F'}));
}

TEST_F(DriveBox, EachArrowKeyInTheClosedBoxSwitchesTheDrive) {
    TDriveComboBox& drives = CreateBox();
    host->Show();
    drives.SetFocus();
    PressKey(drives.Handle(), VK_DOWN);
    EXPECT_EQ(drives.Drive(), 'D');
    PressKey(drives.Handle(), VK_DOWN);
    EXPECT_EQ(drives.Drive(), 'F');
    PressKey(drives.Handle(), VK_UP);
    EXPECT_EQ(drives.Drive(), 'D');
    EXPECT_EQ(changes, (std::vector<char>{'D', 'F', 'D'}));
    EXPECT_EQ(SelectedText(drives.Handle()), "D: []");
    EXPECT_FALSE(SendMessageA(drives.Handle(), CB_GETDROPPEDSTATE, 0, 0));
}
