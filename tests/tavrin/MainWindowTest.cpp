// The main window seen from outside: shortcuts, the real prompt (the real file dialogs:
// FileSafetyTest), drops, placement and the registry; the Options dialog and the Tools menu's
// compile batch file really started (awkward names reaching it: BuildPaneTest); the program
// started as a user starts it.
#include "MainWindowFixture.h"

#include "AppInfo.h"
#include "DialogAnswerer.h"
#include "Scintilla.h"
#include "Texts.h"

namespace {

using testenv::MainWindowTest;

TEST_F(MainWindowTest, ShortcutsRunNewOpenAndSave) {
    ASSERT_TRUE(testenv::WriteBytes(dir / L"k.cpp", "k\r\n"));
    modal::Hooks h = Recording(IDNO);
    h.openFile = testenv::Choose(dir / L"k.cpp");
    modal::ScopedHooks hooks(h);
    EXPECT_TRUE(testenv::PressCtrl(f.t1(), 'O'));
    EXPECT_EQ(f.Caption(), L"k.cpp - Tavrin");
    Type(L"more");
    EXPECT_TRUE(testenv::PressCtrl(f.t1(), 'S'));
    EXPECT_EQ(testenv::ReadBytes(dir / L"k.cpp"), "k\r\nmore\r\n");
    EXPECT_TRUE(testenv::PressCtrl(f.t1(), 'N'));
    EXPECT_EQ(boxes.size(), 1u);  // New asks whenever there is text
    EXPECT_EQ(f.Caption(), L"Untitled - Tavrin");
}

TEST_F(MainWindowTest, RealPromptCancelKeepsTheWindowAndStillWritesSettings) {
    Type(L"unsaved");
    {
        DialogAnswerer answer({DialogAnswerer::Press(IDCANCEL)});
        EXPECT_FALSE(f.Unload());
        EXPECT_EQ(answer.One(), L"Tavrin: Would you like to save changes?");
    }
    EXPECT_EQ(f.Text(), L"unsaved");
    EXPECT_EQ(Stored(L"MainWidth").value_or(L""), L"6495");  // 433 px at 96 dpi
    DialogAnswerer answer({DialogAnswerer::Press(IDNO)});
    EXPECT_TRUE(f.Unload());
}

TEST_F(MainWindowTest, ExitEndsAndSaysSoOnceWhenTheSettingsCannotBeWritten) {
    // A key name longer than the registry takes: every write of the settings fails.
    settings::KeyPath = std::wstring(testenv::kScratchRoot) + L"\\" + std::wstring(300, L'k');
    modal::ScopedHooks hooks(Recording());
    SendMessageW(f.Hwnd(), WM_COMMAND, frmMain::FileBase + mainmenu::FileExit, 0);
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(MainWindowTest, DroppedFileOpensAfterThePrompt) {
    ASSERT_TRUE(testenv::WriteBytes(dir / L"first.h", "first\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"second.h", "second\r\n"));
    Type(L"unsaved");
    for (int answer : {IDCANCEL, IDNO}) {
        modal::ScopedHooks hooks(Recording(answer));
        SendMessageW(f.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(testenv::DropFiles({dir / L"first.h", dir / L"second.h"})), 0);
        testenv::PumpUntil([&] { return !boxes.empty(); }, 2000);
        boxes.clear();
        EXPECT_EQ(f.Text(), answer == IDNO ? L"first\r\n" : L"unsaved");
    }
    EXPECT_EQ(f.Doc().DocumentPath, dir / L"first.h");
}

using OptionsAndTools = MainWindowTest;

TEST_F(OptionsAndTools, CancelWritesNothingApplyWritesAndStaysOkCloses) {
    frmOptions& options = form::Single<frmOptions>();
    modal::ScopedHooks hooks(Recording());
    f.mnutools_Click(0);
    options.SetText(frmOptions::IdText1, L"Q:\\never");
    SendMessageW(options.Item(frmOptions::IdCancel), BM_CLICK, 0, 0);
    EXPECT_FALSE(options.IsLoaded());
    EXPECT_FALSE(Stored(L"InitDir"));
    f.mnutools_Click(0);  // opened again: loaded afresh with the applied values
    EXPECT_EQ(options.Text(frmOptions::IdText1), f.CurrentSettings().initDir);
    options.SetText(frmOptions::IdText1, L"E:\\work folder");
    options.SetCombo1Index(1);
    options.SetText(frmOptions::IdText3, L"17");  // refused, and nothing is written
    SendMessageW(options.Item(frmOptions::IdOK), BM_CLICK, 0, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, texts::OptionsTabWidthInvalid);
    EXPECT_FALSE(Stored(L"InitDir"));
    options.SetText(frmOptions::IdText3, L"3");
    options.SetText(frmOptions::IdText2, L"2048");
    SendMessageW(options.Item(frmOptions::IdApply), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowVisible(options.Hwnd()));
    EXPECT_EQ(Stored(L"LargeFileKB").value_or(L"") + L"|" + Stored(L"InitDir").value_or(L"") + L"|" +
                  Stored(L"DefaultFileType").value_or(L"") + L"|" + Stored(L"TabWidth").value_or(L""),
              L"2048|E:\\work folder|1|3");
    EXPECT_EQ(SendMessageW(f.t1(), SCI_GETTABWIDTH, 0, 0), 3);
    // The next Open dialog starts there, with the chosen type.
    std::wstring startFolder;
    {
        modal::ScopedHooks open({.openFile = [&](OPENFILENAMEW& ofn) {
            return startFolder = (ofn.lpstrInitialDir ? ofn.lpstrInitialDir : L"") + std::to_wstring(ofn.nFilterIndex), FALSE;
        }});
        f.mnufile_Click(1);
    }
    EXPECT_EQ(startFolder, L"E:\\work folder2");
    // OK writes the current placement and closes.
    SetWindowPos(f.Hwnd(), nullptr, 30, 45, 600, 500, SWP_NOZORDER);
    SendMessageW(options.Item(frmOptions::IdOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(options.IsLoaded());
    EXPECT_EQ(Stored(L"MainWidth"), std::to_wstring(f.Tw(600)));
}

TEST_F(OptionsAndTools, ToolsMenuRunsTheShippedBatchFileOrReportsItMissingByPath) {
    const std::wstring batch = ProgramFolder() + L"\\code\\compile.bat", moved = batch + L".away";
    ASSERT_TRUE(testenv::Exists(batch));
    wchar_t temp[MAX_PATH];
    const std::wstring log = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"Tavrin-compile.log";
    DeleteFileW(log.c_str());
    SetEnvironmentVariableW(L"TAVRIN_NOPAUSE", L"1");  // the batch file ends without waiting for a key
    modal::ScopedHooks hooks(Recording());
    f.mnutools_Click(2);  // an untitled, unsaved document: compiled all the same
    EXPECT_TRUE(boxes.empty());
    ASSERT_TRUE(testenv::PumpUntil([&] { return testenv::ReadBytes(log).find("result=") != std::string::npos; },
                                   20000));
    EXPECT_NE(testenv::ReadBytes(log).find("source=hello.cpp"), std::string::npos) << testenv::ReadBytes(log);
    ASSERT_TRUE(MoveFileW(batch.c_str(), moved.c_str()));
    f.mnutools_Click(2);
    MoveFileW(moved.c_str(), batch.c_str());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title + L": " + boxes[0].text, L"Tavrin: " + std::wstring(texts::CompileBatchMissing) + batch);
}

// Unquoted with two blanks in a row, the name opens as typed (a quoted one: the recovery test).
TEST(TavrinProgram, OpensTheFileGivenOnTheCommandLine) {
    testenv::TempDir dir;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"two  blanks.txt", "x\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"two blanks.txt", "wrong\r\n"));
    EXPECT_TRUE(testenv::ShowsAndCloses(testenv::TavrinExe(), dir / L"two  blanks.txt", L"two  blanks.txt - Tavrin"));
}

// Libraries under the names of those the editor uses, placed beside a copy of the program, are
// never loaded: the program starts with the system's editing control and no planted start-up code runs.
TEST(TavrinProgram, LibrariesPlantedBesideItAreNotLoaded) {
    testenv::TempDir dir;
    const std::wstring exe = dir / testenv::TavrinExe().substr(testenv::BinDir().size() + 1);
    ASSERT_TRUE(CopyFileW(testenv::TavrinExe().c_str(), exe.c_str(), FALSE));
    const wchar_t* planted[] = {L"Msftedit.dll", L"riched20.dll", L"WININET.dll", L"WINSPOOL.DRV"};
    for (const wchar_t* name : planted)
        ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\fixtures\\fx_planted.dll").c_str(), (dir / name).c_str(), FALSE));
    EXPECT_TRUE(testenv::ShowsAndCloses(exe, L"", L"Untitled - Tavrin", dir.Path().c_str()));
    for (const wchar_t* name : planted) EXPECT_FALSE(testenv::Exists(dir / name + L".loaded")) << name;
}

}  // namespace
