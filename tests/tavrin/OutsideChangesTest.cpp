// The open file changed or deleted by another program, and Save over such a change, with the real
// window and its real boxes.
#include "MainWindowFixture.h"

#include <commctrl.h>

#include "DialogAnswerer.h"
#include "TestEnv.h"
#include "Texts.h"

namespace {

class OutsideChange : public testenv::MainWindowTest {
protected:
    testenv::TempDir dir;
    std::wstring path = dir / L"doc.txt";

    // Another program writes `line` (and a line end) over the file.
    void WriteElsewhere(const std::wstring& line) {
        wchar_t sys[MAX_PATH];
        GetSystemDirectoryW(sys, MAX_PATH);
        testenv::Process cmd(std::wstring(sys) + L"\\cmd.exe", L"/c echo " + line + L"> \"" + path + L"\"");
        ASSERT_EQ(cmd.Wait(), 0);
    }
    std::wstring StatusNote() {
        wchar_t text[256] = {};
        SendMessageW(f.sbStatusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
        return text;
    }
};

TEST_F(OutsideChange, AnotherProgramsWriteIsAskedOnceOnActivationAndYesReloads) {
    ASSERT_TRUE(testenv::WriteBytes(path, "one\r\ntwo\r\nthree\r\n"));
    Open(path);
    f.Show();
    editarea::GoToLine(f.t1(), 2);
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
    ASSERT_TRUE(testenv::PumpUntil([&] { return editarea::GetText(f.t1()) == L"theirs\r\n"; }));
    ASSERT_EQ(yes.Seen().size(), 1u);
    EXPECT_EQ(yes.Seen()[0].text, std::wstring(L"doc.txt") + texts::ChangedOutside);
    EXPECT_FALSE(f.Doc().IsModified());
    // Activated again: the same change is not asked about twice.
    SetForegroundWindow(other);
    SetForegroundWindow(f.Hwnd());
    testenv::PumpUntil([] { return false; }, 500);
    EXPECT_EQ(yes.Seen().size(), 1u);
    DestroyWindow(other);
}

TEST_F(OutsideChange, SaveOverAnotherProgramsWriteAsksAndADeletedFileIsWrittenAgain) {
    ASSERT_TRUE(testenv::WriteBytes(path, "mine\r\n"));
    Open(path);
    Type(L"more");
    // The change is seen only when Save looks: the window is not shown.
    WriteElsewhere(L"theirs");
    {
        DialogAnswerer no({DialogAnswerer::Press(IDNO)});
        f.mnufile_Click(3);
        ASSERT_EQ(no.Seen().size(), 1u);
        EXPECT_EQ(no.Seen()[0].text, std::wstring(L"doc.txt") + texts::SaveOverOutsideChange);
    }
    EXPECT_EQ(testenv::ReadBytes(path), "theirs\r\n");
    EXPECT_TRUE(f.Doc().IsModified());
    // Deleted: no question; the text stays modified, the status bar says so, Save writes it again.
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    DialogAnswerer none({}, 1500);
    PostMessageW(f.Hwnd(), WM_APP + 20, 0, 0);
    ASSERT_TRUE(testenv::PumpUntil([&] { return StatusNote() == std::wstring(L"doc.txt") + texts::GoneFromDisk; }));
    EXPECT_TRUE(none.Seen().empty());
    f.mnufile_Click(3);
    EXPECT_EQ(testenv::ReadBytes(path), "mine\r\nmore\r\n");
    EXPECT_EQ(StatusNote(), texts::StatusPanel);
}

}  // namespace
