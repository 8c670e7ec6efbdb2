// The Options dialog and the Tools menu seen from outside: the dialog's controls, the registry,
// and the compile batch file really started.
#include <gtest/gtest.h>

#include <windows.h>

#include "AppInfo.h"
#include "CompileCommand.h"
#include "Modal.h"
#include "RichText.h"
#include "TestEnv.h"
#include "Texts.h"
#include "basFindWindows.h"
#include "basTavrin.h"
#include "frmMain.h"
#include "frmOptions.h"

namespace {

using testenv::TempDir;

const wchar_t kScratchRoot[] = L"Software\\TavrinOptionsTests";

std::optional<std::wstring> Stored(const wchar_t* name) {
    settings::RegistryStore s;
    return s.Read(name);
}

class OptionsAndTools : public ::testing::Test {
protected:
    frmMain& main = form::Single<frmMain>();
    frmOptions& options = form::Single<frmOptions>();

    void SetUp() override {
        ASSERT_TRUE(richtext::LoadLibraryClass());
        settings::KeyPath = std::wstring(kScratchRoot) + L"\\Settings";
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchRoot);
    }
    void StartMain() { ASSERT_TRUE(main.Load()); }
    void TearDown() override {
        options.Unload();
        if (main.IsLoaded()) {
            main.Doc().ExitConfirmed = true;
            main.Unload();
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchRoot);
    }
    std::wstring ComboText() {
        int i = options.Combo1Index();
        if (i < 0) return L"";
        wchar_t buf[64] = {};
        SendMessageW(options.Item(frmOptions::IdCombo1), CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(buf));
        return buf;
    }
};

TEST_F(OptionsAndTools, StartUpLoadsTheDialogHiddenWithTheStoredValues) {
    settings::RegistryStore s;
    s.Write(settings::KeyInitDir, L"D:\\src");
    s.Write(settings::KeyDefaultFileType, L"8");
    StartMain();
    ASSERT_TRUE(options.IsLoaded());
    EXPECT_FALSE(IsWindowVisible(options.Hwnd()));
    EXPECT_EQ(options.Text(frmOptions::IdText1), L"D:\\src");
    EXPECT_EQ(ComboText(), L"Text (*.txt)");
    EXPECT_EQ(SendMessageW(options.Item(frmOptions::IdCombo1), CB_GETCOUNT, 0, 0), 10);

    main.mnutools_Click(0);  // Tools > Options shows the loaded dialog
    EXPECT_TRUE(IsWindowVisible(options.Hwnd()));
    EXPECT_EQ(options.Caption(), L"Options");
    EXPECT_EQ(GetWindow(options.Hwnd(), GW_OWNER), nullptr);
    EXPECT_EQ(options.Text(frmOptions::IdFrame1), L"Configuration");
    EXPECT_EQ(options.Text(frmOptions::IdLabel2), L"Default Code Folder");
    EXPECT_EQ(options.Text(frmOptions::IdLabel1), L"Default File Type");
    EXPECT_EQ(options.Text(frmOptions::IdApply), L"&Apply");
}

TEST_F(OptionsAndTools, FirstStartShowsTheCodeFolderAndCppFiles) {
    StartMain();
    main.mnutools_Click(0);
    EXPECT_EQ(options.Text(frmOptions::IdText1), ProgramFolder() + L"\\Code");
    EXPECT_EQ(ComboText(), L"C++ Files (*.cpp)");
}

TEST_F(OptionsAndTools, ApplyWritesAllSixKeysAndStaysOpen) {
    StartMain();
    main.mnutools_Click(0);
    options.SetText(frmOptions::IdText1, L"E:\\work folder");
    options.SetCombo1Index(1);
    SendMessageW(options.Item(frmOptions::IdApply), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowVisible(options.Hwnd()));
    EXPECT_EQ(InitDirSetting, L"E:\\work folder");
    EXPECT_EQ(Stored(L"InitDir"), L"E:\\work folder");
    EXPECT_EQ(Stored(L"DefaultFileType"), L"1");
    for (const wchar_t* k : {L"MainLeft", L"MainTop", L"MainWidth", L"MainHeight"}) EXPECT_TRUE(Stored(k)) << k;
    // The next Open dialog starts there, with the chosen type.
    std::wstring startFolder;
    DWORD filterIndex = 0;
    modal::ScopedHooks hooks({.openFile = [&](OPENFILENAMEW& ofn) {
        startFolder = ofn.lpstrInitialDir ? ofn.lpstrInitialDir : L"";
        filterIndex = ofn.nFilterIndex;
        return FALSE;
    }});
    main.mnufile_Click(1);
    EXPECT_EQ(startFolder, L"E:\\work folder");
    EXPECT_EQ(filterIndex, 2u);
}

TEST_F(OptionsAndTools, OkWritesTheCurrentPlacementAndCloses) {
    StartMain();
    SetWindowPos(main.Hwnd(), nullptr, 30, 45, 600, 500, SWP_NOZORDER);
    main.mnutools_Click(0);
    SendMessageW(options.Item(frmOptions::IdOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(options.IsLoaded());
    EXPECT_EQ(Stored(L"MainLeft"), std::to_wstring(main.Tw(30)));
    EXPECT_EQ(Stored(L"MainWidth"), std::to_wstring(main.Tw(600)));
    EXPECT_EQ(Stored(L"InitDir"), InitDirSetting);
}

TEST_F(OptionsAndTools, CancelAndTheCloseBoxWriteNothing) {
    StartMain();
    for (bool closeBox : {false, true}) {
        main.mnutools_Click(0);
        options.SetText(frmOptions::IdText1, L"Q:\\never");
        options.SetCombo1Index(5);
        if (closeBox)
            SendMessageW(options.Hwnd(), WM_CLOSE, 0, 0);
        else
            SendMessageW(options.Item(frmOptions::IdCancel), BM_CLICK, 0, 0);
        EXPECT_FALSE(options.IsLoaded());
        EXPECT_FALSE(Stored(L"InitDir"));
        EXPECT_NE(InitDirSetting, L"Q:\\never");
        // Opened again: loaded afresh with the applied values.
        main.mnutools_Click(0);
        EXPECT_EQ(options.Text(frmOptions::IdText1), InitDirSetting);
        EXPECT_EQ(ComboText(), L"C++ Files (*.cpp)");
        options.Unload();
    }
}

TEST_F(OptionsAndTools, BrowseFillsTheFolderBoxOnlyWhenAFolderIsChosen) {
    StartMain();
    main.mnutools_Click(0);
    options.SetText(frmOptions::IdText1, L"C:\\start here");
    std::wstring startedAt;
    {
        modal::ScopedHooks hooks({.browseFolder = [&](const std::wstring&, const std::wstring& start, std::wstring& out) {
            startedAt = start;
            out = L"C:\\chosen";
            return true;
        }});
        SendMessageW(options.Item(frmOptions::IdCommand1), BM_CLICK, 0, 0);
    }
    EXPECT_EQ(startedAt, L"C:\\start here");
    EXPECT_EQ(options.Text(frmOptions::IdText1), L"C:\\chosen");
    EXPECT_FALSE(Stored(L"InitDir"));  // nothing stored until Apply or OK
    modal::ScopedHooks cancel({.browseFolder = [](const std::wstring&, const std::wstring&, std::wstring&) {
        return false;
    }});
    SendMessageW(options.Item(frmOptions::IdCommand1), BM_CLICK, 0, 0);
    EXPECT_EQ(options.Text(frmOptions::IdText1), L"C:\\chosen");
}

TEST_F(OptionsAndTools, CompilerSetupAndTheHiddenCompileDoNothing) {
    StartMain();
    std::vector<std::wstring> shown;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) { shown.push_back(c.text); return IDOK; }});
    main.mnutools_Click(1);
    main.mnutools_Click(3);
    main.mnutools_Click(42);
    EXPECT_TRUE(shown.empty());
    HMENU tools = GetSubMenu(GetMenu(main.Hwnd()), 4);
    EXPECT_EQ(GetMenuItemCount(tools), 3);  // Compile is hidden
}

// A batch file in a program folder with spaces that records each start in a file of its own and
// then waits (a bounded while) to be released.
struct FakeInstall {
    TempDir dir;
    std::wstring folder = dir / L"Program Files\\Tavrin Test";
    explicit FakeInstall(bool withBatch) {
        CreateDirectoryW((dir / L"Program Files").c_str(), nullptr);
        CreateDirectoryW(folder.c_str(), nullptr);
        CreateDirectoryW((folder + L"\\code").c_str(), nullptr);
        if (withBatch)
            testenv::WriteBytes(folder + L"\\code\\compile.bat",
                                "@echo off\r\n"
                                "echo started %1>> \"%~dp0trace.txt\"\r\n"
                                "set n=0\r\n"
                                ":wait\r\n"
                                "if exist \"%~dp0release.txt\" goto end\r\n"
                                "set /a n+=1\r\n"
                                "if %n% lss 20000 goto wait\r\n"
                                ":end\r\n");
    }
    ~FakeInstall() {
        Release();
        Sleep(300);  // let the runs see it before the folder goes
    }
    void Release() { testenv::WriteBytes(folder + L"\\code\\release.txt", "go"); }
    std::string Trace() { return testenv::ReadBytes(folder + L"\\code\\trace.txt"); }
};

TEST_F(OptionsAndTools, CompileStartsTheBatchFileWithoutWaitingOncePerClick) {
    FakeInstall install(true);
    wchar_t sys[MAX_PATH];
    GetSystemDirectoryW(sys, MAX_PATH);
    const CompileCommand cmd = MakeCompileCommand(install.folder, sys);
    unsigned long error = 1;
    // The first run is still waiting when the call returns and the second starts beside it.
    ASSERT_TRUE(StartCompile(cmd, error));
    EXPECT_EQ(error, 0u);
    ASSERT_TRUE(testenv::PumpUntil([&] { return install.Trace() == "started hello.cpp\r\n"; }, 20000));
    ASSERT_TRUE(StartCompile(cmd, error));
    EXPECT_TRUE(testenv::PumpUntil([&] { return install.Trace() == "started hello.cpp\r\nstarted hello.cpp\r\n"; },
                                   20000))
        << install.Trace();
}

TEST_F(OptionsAndTools, AMissingBatchFileIsReportedWithItsPath) {
    FakeInstall install(false);
    const CompileCommand cmd = MakeCompileCommand(install.folder, L"C:\\windows\\system32");
    unsigned long error = 0;
    EXPECT_FALSE(StartCompile(cmd, error));
    EXPECT_EQ(error, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
}

TEST_F(OptionsAndTools, ToolsMenuRunsTheShippedBatchFileBesideTheProgram) {
    StartMain();
    ASSERT_TRUE(testenv::Exists(ProgramFolder() + L"\\code\\compile.bat"));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log = std::wstring(temp) + L"Tavrin-compile.log";
    DeleteFileW(log.c_str());
    SetEnvironmentVariableW(L"TAVRIN_NOPAUSE", L"1");  // the batch file ends without waiting for a key
    std::vector<std::wstring> shown;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) { shown.push_back(c.text); return IDOK; }});
    main.Doc();  // an untitled, unsaved document: compiled all the same
    main.mnutools_Click(2);
    EXPECT_TRUE(shown.empty());
    ASSERT_TRUE(testenv::PumpUntil([&] {
        const std::string t = testenv::ReadBytes(log);
        return t.find("result=") != std::string::npos;
    }, 20000));
    const std::string t = testenv::ReadBytes(log);
    EXPECT_NE(t.find("source=hello.cpp"), std::string::npos) << t;
}

TEST_F(OptionsAndTools, ToolsMenuReportsAMissingBatchFileByPath) {
    StartMain();
    const std::wstring batch = ProgramFolder() + L"\\code\\compile.bat";
    const std::wstring moved = batch + L".away";
    ASSERT_TRUE(MoveFileW(batch.c_str(), moved.c_str()));
    std::vector<modal::MsgBoxCall> shown;
    {
        modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) { shown.push_back(c); return IDOK; }});
        main.mnutools_Click(2);
    }
    MoveFileW(moved.c_str(), batch.c_str());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, std::wstring(texts::CompileBatchMissing) + batch);
    EXPECT_EQ(shown[0].title, L"Tavrin");
    EXPECT_TRUE(shown[0].flags & MB_ICONEXCLAMATION);
}

}  // namespace
