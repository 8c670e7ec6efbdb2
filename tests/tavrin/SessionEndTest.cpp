// No typing lost: the end of the session with a modified document, the recovery file written while
// the user types, and what a later start makes of one left behind by a killed process.
#include "MainWindowFixture.h"

#include "DialogAnswerer.h"
#include "Recovery.h"
#include "RecoveryFiles.h"
#include "Texts.h"

namespace {

using testenv::ScratchAppData;
using testenv::TempDir;

class SessionEnd : public testenv::MainWindowTest {
protected:
    ScratchAppData appData;
};

TEST_F(SessionEnd, TheQuestionDecidesTheSettingsAndThePlacementAreWritten) {
    struct Row {
        bool modified;
        int answer;
        BOOL mayEnd;
        int asked;
        const char* fileAfter;
    } rows[] = {
        {true, IDYES, TRUE, 1, "changed old\r\n"},
        {true, IDNO, TRUE, 1, "old\r\n"},
        {false, IDYES, TRUE, 0, "old\r\n"},
        {true, IDCANCEL, FALSE, 1, "old\r\n"},  // last: the window stays, modified
    };
    for (const Row& r : rows) {
        if (!f.IsLoaded()) {
            ASSERT_TRUE(f.Load());
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, testenv::kScratchRoot);
        const std::wstring path = dir / L"doc.txt";
        ASSERT_TRUE(testenv::WriteBytes(path, "old\r\n"));
        Open(path);
        if (r.modified) {
            editarea::Select(f.t1(), 0, 0);
            editarea::ReplaceSelection(f.t1(), L"changed ");
        }
        boxes.clear();
        modal::Hooks h = Recording(r.answer);
        h.saveFile = testenv::Choose(path);  // Yes saves through the Save dialog
        modal::ScopedHooks hooks(h);
        EXPECT_EQ(SendMessageW(f.Hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), r.mayEnd) << r.answer;
        EXPECT_EQ(testenv::ReadBytes(path), r.fileAfter);
        SendMessageW(f.Hwnd(), WM_ENDSESSION, r.mayEnd, ENDSESSION_LOGOFF);
        EXPECT_EQ(f.IsLoaded(), !r.mayEnd);
        EXPECT_EQ(boxes.size(), static_cast<size_t>(r.asked));  // the end itself asks nothing more
        EXPECT_EQ(Stored(L"MainWidth").has_value(), r.mayEnd == TRUE);
        // A refused end leaves the window as it was: closing it asks again.
        if (!r.mayEnd) {
            EXPECT_TRUE(f.Doc().IsModified());
            EXPECT_FALSE(f.Doc().ExitConfirmed);
        }
    }
    // Nothing to recover after any of them.
    EXPECT_TRUE(appData.Files().empty());
    // The placement is written when a move ends, and kept when maximised (the window stayed).
    RegDeleteTreeW(HKEY_CURRENT_USER, testenv::kScratchRoot);
    SetWindowPos(f.Hwnd(), nullptr, 123, 77, 700, 500, SWP_NOZORDER);
    SendMessageW(f.Hwnd(), WM_EXITSIZEMOVE, 0, 0);
    const settings::Values moved = f.CurrentSettings();
    EXPECT_EQ(Stored(L"MainLeft"), std::to_wstring(moved.left));
    EXPECT_EQ(Stored(L"MainWidth"), std::to_wstring(moved.width));
    RegDeleteTreeW(HKEY_CURRENT_USER, testenv::kScratchRoot);
    ShowWindow(f.Hwnd(), SW_MAXIMIZE);
    EXPECT_EQ(Stored(L"MainWidth"), std::to_wstring(moved.width));  // the normal placement, kept
}

// The editor in a process of its own, killed at scope exit.
struct Running {
    testenv::Process p;
    HWND window;
    explicit Running(const std::wstring& args) : p(testenv::TavrinExe(), args), window(p.Window(L"TavrinMain", nullptr, 15000)) {}
    HWND Box(DWORD ms) const { return p.Window(L"#32770", nullptr, ms); }
    std::wstring Text() const { return WindowText(GetDlgItem(window, frmMain::IdT1)); }
};

std::wstring BoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

// Each way an editor with typed text can end, and what the next start makes of it.
TEST(Recovery, TheNextStartOffersWhatEachEndLeft) {
    ScratchAppData appData;
    TempDir dir;
    const std::wstring path = dir / L"wid\u00e9.txt";  // started with a name beyond ASCII
    ASSERT_TRUE(testenv::WriteBytes(path, std::string("\xFF\xFE" "a\0\r\0\n\0", 8)));  // UTF-16 with its mark
    const std::wstring file = L"\"" + path + L"\"";
    {
        Running first(file);
        ASSERT_NE(first.window, nullptr);
        for (wchar_t c : std::wstring(L"typed \u00e9 ")) PostMessageW(GetDlgItem(first.window, frmMain::IdT1), WM_CHAR, c, 1);
        // Written a few seconds after the typing stops.
        ASSERT_TRUE(testenv::PumpUntil([&] { return !appData.Files().empty(); }, 10000));
        // A second window does not offer the first one's file while it runs.
        Running second(L"");
        ASSERT_NE(second.window, nullptr);
        EXPECT_EQ(second.Box(1500), nullptr);
    }  // killed
    const std::vector<std::wstring> left = appData.Files();
    ASSERT_EQ(left.size(), 1u);
    const recovery::Parsed r = recovery::Load(left[0]);
    ASSERT_TRUE(r) << r.failure;
    EXPECT_EQ(r.record.text, "typed \xc3\xa9 a\r\n");

    {
        Running again(L"");
        HWND box = again.Box(10000);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(BoxText(box).rfind(L"Tavrin closed without saving changes to wid\u00e9.txt (", 0), 0u) << BoxText(box);
        SendMessageW(box, WM_COMMAND, IDYES, 0);
        ASSERT_TRUE(testenv::PumpUntil([&] { return again.Text() == L"typed \u00e9 a\r\n"; }, 5000)) << again.Text();
        EXPECT_EQ(WindowText(again.window), L"wid\u00e9.txt - Tavrin");
        // Modified under its path: Save writes it in the file's own encoding.
        SendMessageW(again.window, WM_COMMAND, frmMain::FileBase + 3, 0);
        EXPECT_EQ(testenv::ReadBytes(path), std::string("\xFF\xFEt\0y\0p\0e\0d\0 \0\xE9\0 \0a\0\r\0\n\0", 24));
        EXPECT_TRUE(testenv::PumpUntil([&] { return appData.Files().empty(); }, 5000));  // (a build's save: BuildPane)
    }
    // A forced end of the session (nothing asked): the text stays for the next start, where Cancel
    // keeps it for a later one and No throws it away.
    {
        Running forced(file);
        ASSERT_NE(forced.window, nullptr);
        EXPECT_EQ(forced.Box(1500), nullptr);  // the recovered text was saved: nothing to offer
        HWND edit = GetDlgItem(forced.window, frmMain::IdT1);
        PostMessageW(edit, WM_CHAR, L'z', 1);
        ASSERT_TRUE(testenv::PumpUntil([&] { return forced.Text().find(L'z') != std::wstring::npos; }, 5000));
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(forced.window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, &ignored);
        EXPECT_EQ(forced.p.Wait(10000), 0);
    }
    ASSERT_EQ(appData.Files().size(), 1u);
    for (const int answer : {IDCANCEL, IDNO}) {
        Running later(L"");
        HWND box = later.Box(10000);
        ASSERT_NE(box, nullptr) << answer;
        SendMessageW(box, WM_COMMAND, answer, 0);
        EXPECT_TRUE(testenv::PumpUntil([&] { return appData.Files().size() == (answer == IDNO ? 0u : 1u); }, 5000));
        EXPECT_EQ(later.Text(), L"");
    }
    // A damaged one is refused with a message and kept aside.
    ASSERT_TRUE(testenv::WriteBytes(appData.Folder() + L"\\1-0.tavrin-recovery", "Tavrin recovery 1\npath: x\n"));
    {
        Running broken(L"");
        HWND box = broken.Box(10000);
        ASSERT_NE(box, nullptr);
        EXPECT_NE(BoxText(box).find(texts::RecoveryKeptAs), std::wstring::npos) << BoxText(box);
        SendMessageW(box, WM_COMMAND, IDOK, 0);
    }
    EXPECT_TRUE(appData.Files().empty());
    EXPECT_EQ(appData.Files(L"*.damaged").size(), 1u);
}

}  // namespace
