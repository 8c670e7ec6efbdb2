// The file on disk and the window agree, with the real window and boxes: another program's change
// or deletion, Save over such a change, the encoding and line ends shown and chosen, recent files.
#include "MainWindowFixture.h"

#include <commctrl.h>
#include <winioctl.h>

#include "DialogAnswerer.h"
#include "DocumentStore.h"
#include "FormatChoices.h"
#include "Raii.h"
#include "RecentMenu.h"
#include "SaveAsEncoding.h"
#include "Texts.h"

namespace {

class OnDisk : public testenv::MainWindowTest {
protected:
    std::wstring path = dir / L"doc.txt";

    // Another program writes `line` (and a line end) over the file.
    void WriteElsewhere(const std::wstring& line) {
        testenv::Process cmd(testenv::SystemFolder() + L"\\cmd.exe", L"/c echo " + line + L"> \"" + path + L"\"");
        ASSERT_EQ(cmd.Wait(), 0);
    }
    void Command(int id) { SendMessageW(f.Hwnd(), WM_COMMAND, id, 0); }
};

TEST_F(OnDisk, AnotherProgramsWriteIsAskedOnceOnActivationAndYesReloads) {
    ASSERT_TRUE(testenv::WriteBytes(path, "one\r\ntwo\r\n"));
    Open(path);
    f.Show();
    // Another window in front while the file changes: nothing is asked yet.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    testenv::PumpUntil([&] { return GetForegroundWindow() == other; }, 2000);
    WriteElsewhere(L"theirs");
    DialogAnswerer yes({DialogAnswerer::Press(IDYES)}, 8000);
    testenv::PumpUntil([] { return false; }, 1000);
    EXPECT_EQ(yes.Answered(), 0u);
    SetForegroundWindow(f.Hwnd());
    ASSERT_TRUE(testenv::PumpUntil([&] { return f.Text() == L"theirs\r\n"; }));
    ASSERT_EQ(yes.Seen().size(), 1u);
    EXPECT_EQ(yes.Seen()[0].text, std::wstring(L"doc.txt") + texts::ChangedOutside);
    SetForegroundWindow(other);  // activated again: the same change is not asked about twice
    SetForegroundWindow(f.Hwnd());
    testenv::PumpUntil([] { return false; }, 500);
    EXPECT_EQ(yes.Seen().size(), 1u);
    DestroyWindow(other);
}

TEST_F(OnDisk, SaveOverAnotherProgramsWriteAsksAndADeletedFileIsWrittenAgain) {
    ASSERT_TRUE(testenv::WriteBytes(path, "mine\r\n"));
    Open(path);
    Type(L"more");
    WriteElsewhere(L"theirs");  // seen only when Save looks: the window is not shown
    {
        DialogAnswerer no({DialogAnswerer::Press(IDNO)});
        f.mnufile_Click(3);
        ASSERT_EQ(no.Seen().size(), 1u);
        EXPECT_EQ(no.Seen()[0].text, std::wstring(L"doc.txt") + texts::SaveOverOutsideChange);
    }
    EXPECT_EQ(testenv::ReadBytes(path), "theirs\r\n");
    // Deleted: no question; the text stays modified, the status bar says so, Save writes it again.
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    DialogAnswerer none({}, 1500);
    PostMessageW(f.Hwnd(), WM_APP + 20, 0, 0);
    ASSERT_TRUE(testenv::PumpUntil([&] { return Panel(0) == std::wstring(L"doc.txt") + texts::GoneFromDisk; }));
    EXPECT_TRUE(none.Seen().empty());
    f.mnufile_Click(3);
    EXPECT_EQ(testenv::ReadBytes(path), "mine\r\nmore\r\n");
    EXPECT_EQ(Panel(0), texts::StatusPanel);
}

BOOL CALLBACK FindCombo(HWND w, LPARAM found) {
    if (GetDlgCtrlID(w) != SaveAsEncoding::IdCombo) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

TEST_F(OnDisk, TheRealOpenDialogConvertingToLfAsOneUndoStepAndTheRealSaveAsWritingTheEncodingChosen) {
    ASSERT_TRUE(testenv::WriteBytes(path, "a\r\nb\nc\r\n"));
    {
        DialogAnswerer open({DialogAnswerer::TypeFileName(path)});  // the real Open dialog
        f.mnufile_Click(1);
    }
    EXPECT_EQ(Panel(bars::kFormatPanel), L"ANSI, Mixed");
    Command(formatchoices::LineEndsBase + 1);  // Unix (LF)
    EXPECT_EQ(f.Text(), L"a\nb\nc\n");
    EXPECT_EQ(Panel(bars::kFormatPanel), L"ANSI, LF");
    f.mnuedit_Click(0);
    EXPECT_EQ(f.Text(), L"a\r\nb\nc\r\n");
    const std::wstring wide = dir / L"wide.txt";
    DialogAnswerer answer({[wide](HWND dlg) {
        HWND combo = nullptr;
        EnumChildWindows(dlg, FindCombo, reinterpret_cast<LPARAM>(&combo));
        if (!combo || SendMessageW(combo, CB_GETCOUNT, 0, 0) != 5) return false;
        SendMessageW(combo, CB_SETCURSEL, 3, 0);  // UTF-16 LE
        return DialogAnswerer::TypeFileName(wide)(dlg);
    }});
    f.mnufile_Click(4);
    EXPECT_EQ(testenv::ReadBytes(wide).substr(0, 6), std::string("\xFF\xFE" "a\0\r\0", 6));
    EXPECT_EQ(Panel(bars::kFormatPanel), L"UTF-16 LE, Mixed");
    EXPECT_EQ(f.Caption(), L"wide.txt - Tavrin");
}

TEST_F(OnDisk, AFileOpenedBeforeOpensFromRecentFilesAndAMissingOneIsRemoved) {
    const std::wstring b = dir / L"b.txt";
    ASSERT_TRUE(testenv::WriteBytes(path, "first\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(b, "second\r\n"));
    Open(path);
    Open(b);
    Command(RecentMenu::FirstId + 1);
    EXPECT_EQ(f.Caption(), L"doc.txt - Tavrin");
    ASSERT_TRUE(DeleteFileW(b.c_str()));  // gone: asked, Yes takes it off the list
    {
        DialogAnswerer yes({DialogAnswerer::Press(IDYES)});
        Command(RecentMenu::FirstId + 1);
        ASSERT_EQ(yes.Seen().size(), 1u);
        EXPECT_EQ(yes.Seen()[0].text, b + texts::RecentMissing);
    }
    HMENU file = GetSubMenu(GetMenu(f.Hwnd()), 0), recent = nullptr;
    for (int i = 0; i < GetMenuItemCount(file) && !recent; ++i) recent = GetSubMenu(file, i);  // the first submenu
    SendMessageW(f.Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(recent), 0);
    EXPECT_EQ(GetMenuItemCount(recent), 3);  // doc.txt, a separator, Clear Recent Files
}

}  // namespace

TEST_F(OnDisk, AFileAboveWhatThisBuildOpensIsToldBeforeAnythingShownChanges) {
    ASSERT_TRUE(testenv::WriteBytes(path, "kept\r\n"));
    Open(path);
    // A terabyte that takes no disk space.
    const std::wstring huge = dir / L"huge.log";
    {
        raii::File h(CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(h);
        DWORD got = 0;
        DeviceIoControl(h.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &got, nullptr);
        LARGE_INTEGER end{};
        end.QuadPart = 1ll << 40;
        ASSERT_TRUE(SetFilePointerEx(h.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(h.get()));
    }
    DialogAnswerer ok({DialogAnswerer::Press(IDOK)});
    Open(huge);
    const std::vector<SeenDialog> seen = ok.Seen();
    ASSERT_EQ(seen.size(), 1u);
    const bool narrow = sizeof(void*) == 4;
    EXPECT_EQ(seen[0].text.rfind(texts::CannotOpen + huge + L"\n\n" + texts::TooBig + L"1024.0 GB" +
                                     (narrow ? texts::TooBigEnd : texts::TooBigEnd64), 0), 0u) << seen[0].text;
    if (narrow) {
        EXPECT_NE(seen[0].text.find(texts::TooBigHint), std::wstring::npos);
    }
    EXPECT_EQ(f.Text(), L"kept\r\n");
    EXPECT_EQ(WindowText(f.Hwnd()), L"doc.txt - Tavrin");
    DeleteFileW(huge.c_str());
}

// A big file is read on a worker while the window keeps its messages going: Esc stops the reading
// and the text shown stays.
TEST_F(OnDisk, EscWhileABigFileIsReadKeepsTheTextShown) {
    ASSERT_TRUE(testenv::WriteBytes(path, "kept\r\n"));
    Open(path);
    const std::wstring big = dir / L"big.log";
    const std::string line = std::string(78, 'x') + "\r\n";
    std::string bytes;
    while (bytes.size() < (40u << 20)) bytes += line;
    ASSERT_TRUE(testenv::WriteBytes(big, bytes));
    modal::Hooks h = Recording(IDYES);  // open it all the same
    h.openFile = testenv::Choose(big);
    modal::ScopedHooks hooks(h);
    PostMessageW(f.t1(), WM_KEYDOWN, VK_ESCAPE, 0);  // pressed while it is read
    f.mnufile_Click(1);
    EXPECT_EQ(f.Text(), L"kept\r\n");
    EXPECT_EQ(WindowText(f.Hwnd()), L"doc.txt - Tavrin");
    EXPECT_FALSE(f.Doc().IsModified());
    f.mnufile_Click(1);
    EXPECT_EQ(WindowText(f.Hwnd()), L"big.log - Tavrin");
    EXPECT_EQ(editarea::StoredLength(f.t1()), bytes.size());
}
