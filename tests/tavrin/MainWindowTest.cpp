// The main window seen from outside: shortcuts, the real prompt and dialogs, drops, placement and
// the registry; the program started as a user starts it.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "DialogAnswerer.h"
#include "MainWindowFixture.h"
#include "Raii.h"
#include "Scintilla.h"
#include "TestEnv.h"

namespace {

using testenv::TempDir;

class MainWindow : public testenv::MainWindowTest {};

// Ctrl+<key> pressed in the editing area, through the program's message filter.
bool PressCtrl(HWND target, WPARAM key) {
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE saved = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg{target, WM_KEYDOWN, key, 1, 0, {}};
    const bool taken = form::PreTranslate(msg);
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
    return taken;
}

TEST_F(MainWindow, ShortcutsRunNewOpenAndSave) {
    TempDir dir;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"k.cpp", "k\r\n"));
    int asked = 0;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall&) { ++asked; return IDNO; },
                              .openFile = testenv::Choose(dir / L"k.cpp")});
    EXPECT_TRUE(PressCtrl(f.t1(), 'O'));
    EXPECT_EQ(f.Caption(), L"k.cpp - Tavrin");
    Type(L"more");
    EXPECT_TRUE(PressCtrl(f.t1(), 'S'));
    EXPECT_EQ(testenv::ReadBytes(dir / L"k.cpp"), "k\r\nmore\r\n");
    EXPECT_TRUE(PressCtrl(f.t1(), 'N'));
    EXPECT_EQ(asked, 1);  // New asks whenever there is text
    EXPECT_EQ(f.Caption(), L"Untitled - Tavrin");
}

TEST_F(MainWindow, RealPromptCancelKeepsTheWindowAndStillWritesSettings) {
    Type(L"unsaved");
    {
        DialogAnswerer answer({DialogAnswerer::Press(IDCANCEL)});
        EXPECT_FALSE(f.Unload());
        ASSERT_EQ(answer.Seen().size(), 1u);
        EXPECT_EQ(answer.Seen()[0].title + L": " + answer.Seen()[0].text, L"Tavrin: Would you like to save changes?");
    }
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_EQ(f.Text(), L"unsaved");
    EXPECT_EQ(Stored(L"MainWidth").value_or(L""), L"6495");  // 433 px at 96 dpi
    {
        DialogAnswerer answer({DialogAnswerer::Press(IDNO)});
        EXPECT_TRUE(f.Unload());
    }
    EXPECT_FALSE(f.IsLoaded());
}

TEST_F(MainWindow, ExitEndsAndSaysSoOnceWhenTheSettingsCannotBeWritten) {
    // A key name longer than the registry takes: every write of the settings fails.
    settings::KeyPath = std::wstring(testenv::kScratchRoot) + L"\\" + std::wstring(300, L'k');
    std::vector<std::wstring> told;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) { return told.push_back(c.text), IDOK; }});
    SendMessageW(f.Hwnd(), WM_COMMAND, frmMain::FileBase + mainmenu::FileExit, 0);
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(told.size(), 1u);
}

TEST_F(MainWindow, RealOpenAndSaveDialogs) {
    TempDir dir;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"src.txt", "from disk\r\n"));
    {
        DialogAnswerer answer({DialogAnswerer::TypeFileName(dir / L"src.txt")});
        f.mnufile_Click(1);
    }
    EXPECT_EQ(f.Text(), L"from disk\r\n");
    Type(L"more");
    {
        DialogAnswerer answer({DialogAnswerer::TypeFileName(dir / L"out.txt")});
        f.mnufile_Click(4);
    }
    EXPECT_EQ(testenv::ReadBytes(dir / L"out.txt"), "from disk\r\nmore\r\n");
    EXPECT_EQ(f.Caption(), L"out.txt - Tavrin");
}

// A drop of Explorer files: DROPFILES with wide names, double-NUL ended.
HGLOBAL MakeDrop(const std::vector<std::wstring>& files) {
    size_t chars = 1;
    for (auto& p : files) chars += p.size() + 1;
    HGLOBAL g = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* df = static_cast<DROPFILES*>(GlobalLock(g));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(df + 1);
    for (auto& p : files) {
        memcpy(out, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
        out += p.size() + 1;
    }
    GlobalUnlock(g);
    return g;
}

TEST_F(MainWindow, DroppedFileOpensAfterThePrompt) {
    TempDir dir;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"first.h", "first\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"second.h", "second\r\n"));
    Type(L"unsaved");
    int answer = IDCANCEL, asked = 0;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall&) { ++asked; return answer; }});
    SendMessageW(f.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({dir / L"first.h", dir / L"second.h"})), 0);
    testenv::PumpUntil([&] { return asked == 1; }, 2000);
    EXPECT_EQ(f.Text(), L"unsaved");
    answer = IDNO;
    SendMessageW(f.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({dir / L"first.h", dir / L"second.h"})), 0);
    testenv::PumpUntil([&] { return f.Caption() == L"first.h - Tavrin"; }, 2000);
    EXPECT_EQ(f.Text(), L"first\r\n");
    EXPECT_EQ(f.Doc().DocumentPath, dir / L"first.h");
}

// The editor started with `args` shows a window captioned `caption`, and ends when it is closed.
void ExpectShowsAndCloses(const std::wstring& exe, const std::wstring& args, const wchar_t* cwd, const std::wstring& caption) {
    testenv::Process p(exe, args, cwd);
    HWND window = p.Window(L"TavrinMain", caption.c_str(), 15000);
    ASSERT_NE(window, nullptr) << testing::PrintToString(caption);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_NE(p.Wait(10000), -1) << "the program did not end";
}

const std::wstring kExeName = L"Tavrin" + std::wstring(sizeof(void*) == 8 ? L"64" : L"") + L".exe";

// Quoted, or unquoted with two blanks in a row: the name opens as typed.
TEST(TavrinProgram, OpensTheFileGivenOnTheCommandLine) {
    TempDir dir;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"cmd line \u00e9.cpp", "x\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"two  blanks.txt", "x\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"two blanks.txt", "wrong\r\n"));
    const std::wstring exe = testenv::BinDir() + L"\\" + kExeName;
    ExpectShowsAndCloses(exe, L"\"" + (dir / L"cmd line \u00e9.cpp") + L"\"", nullptr, L"cmd line \u00e9.cpp - Tavrin");
    ExpectShowsAndCloses(exe, dir / L"two  blanks.txt", nullptr, L"two  blanks.txt - Tavrin");
}

// Libraries under the names of those the editor uses, placed beside a copy of the program, are
// never loaded: the program starts with the system's editing control and no planted start-up code runs.
TEST(TavrinProgram, LibrariesPlantedBesideItAreNotLoaded) {
    TempDir dir;
    ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\" + kExeName).c_str(), (dir / kExeName).c_str(), FALSE));
    const wchar_t* planted[] = {L"Msftedit.dll", L"riched20.dll", L"WININET.dll", L"WINSPOOL.DRV"};
    for (const wchar_t* name : planted)
        ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\fixtures\\fx_planted.dll").c_str(), (dir / name).c_str(), FALSE));
    ExpectShowsAndCloses(dir / kExeName, L"", dir.Path().c_str(), L"Untitled - Tavrin");
    for (const wchar_t* name : planted) EXPECT_FALSE(testenv::Exists(dir / name + L".loaded")) << name;
}

}  // namespace
