// The registration window seen from outside: validation, the confirm state, version display, and
// the real program among planted libraries.
#include <gtest/gtest.h>

#include <windows.h>

#include "PellamyTestKit.h"
#include "Raii.h"
#include "SystemLibraries.h"
#include "TestEnv.h"

using kit::Fixture;
using kit::Window;

namespace {

const std::wstring kNoVersion = L"(No Product Version available for this file)";
const std::wstring kRegisterInfo = L"Company Name:  Pellamy Test Fixtures\r\nProduct Version:  2.5.0.7";

TEST(PellamyWindow, BlankMissingFolderAndLockedPathsAreRefusedAndNothingChanges) {
    Window w;
    testenv::TempDir dir;
    const std::wstring locked = dir / L"locked.ocx";
    raii::File lock(CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::pair<std::wstring, const wchar_t*> cases[] = {{L"    ", L"No path and filename yet"},
                                                             {dir / L"missing.ocx", L"File not found"},
                                                             {dir.Path(), L"File not found"},
                                                             {locked, L"File not found"}};  // not readable
    for (const auto& [path, message] : cases) {
        w.SetPath(path);
        w.Click(frmMain::IdcmdRegister);
        EXPECT_EQ(w.TakeOne(), message) << path;
        w.Menu(frmMain::mnuoperationsBase + 1);
        EXPECT_EQ(w.TakeOne(), message) << path;
    }
    EXPECT_TRUE(w.Idle());
    EXPECT_EQ(w.form.RegisterChosen + w.form.UnregisterChosen, 0);
}

TEST(PellamyWindow, ConfirmStateTransitionsByButtonsMenusAndEdits) {
    Window w;
    frmMain& f = w.form;
    w.SetPath(L"\"" + Fixture(L"fx_register.dll") + L"\"");  // quoted, as "Copy as path" gives
    w.Click(frmMain::IdcmdRegister);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(f.RegisterChosen, -1);
    EXPECT_TRUE(w.Verify());
    EXPECT_EQ(w.Info(), kRegisterInfo);
    // Operations > Un - Register while confirming: validates again, switches the choice, keeps the labels.
    w.Menu(frmMain::mnuoperationsBase + 1);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(f.UnregisterChosen, -1);
    EXPECT_EQ(f.RegisterChosen, 0);
    EXPECT_EQ(w.Info(), kRegisterInfo);
    w.SetPath(Fixture(L"fx_noentry.dll"));  // a change of the path clears the labels, leaves the buttons
    EXPECT_EQ(w.Info(), L"");
    EXPECT_FALSE(w.Verify());
    EXPECT_TRUE(w.Confirm());
    w.Click(frmMain::IdcmdCancel);
    EXPECT_TRUE(w.Idle());
    w.Click(frmMain::IdcmdUnregister);  // shows no version
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(w.Info(), L"");
    w.Click(frmMain::IdcmdCancel);
    EXPECT_TRUE(w.boxes.empty());
    w.Click(frmMain::IdcmdExit);
    EXPECT_FALSE(f.IsLoaded());
}

// Values are found through the block's translation table (UTF-16 keys), whatever language and code
// page; a relative path is taken from the current folder.
TEST(PellamyWindow, VersionBlocksOfEveryShape) {
    Window w;
    kit::CurrentDir in(testenv::BinDir() + L"\\fixtures");
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"fx_regonly.dll", L"Company Name:  Testfirma GmbH\r\nProduct Version:  4.0.0.1"},  // German, 1252
        {L"fx_oldversion.dll", L"Company Name:  M\u00fcller Werkzeuge\r\nProduct Version:  3.1.0.5"},  // 8-bit, 1252
        {L"fx_noentry.dll", kNoVersion},                                                     // no block
        {L"fx_typelib.tlb", L"Type Library:  PellamyTestLib 2.5\r\nGUID:  {6A1E5C2B-7D3F-4E8A-9B10-2C4D5E6F7A91}"},
        {L"notadll.dll", kNoVersion}};
    for (const auto& [file, info] : cases) {
        w.SetPath(file);
        w.Click(frmMain::IdcmdRegister);
        EXPECT_EQ(w.Info(), info) << file;
        EXPECT_EQ(w.Verify(), info != kNoVersion) << file;
        w.Click(frmMain::IdcmdCancel);
    }
    EXPECT_TRUE(w.boxes.empty());
}

// A copy of the program in a folder holding libraries named like system ones (a downloads folder),
// started there with a module on its command line: none of them is loaded, neither at start nor
// when the version library is first used.
TEST(PellamyProgram, LibrariesPlantedBesideTheProgramAreNotLoaded) {
    const std::wstring exeName = sizeof(void*) == 8 ? L"Pellamy64.exe" : L"Pellamy.exe";
    testenv::TempDir dir;
    ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\" + exeName).c_str(), (dir / exeName).c_str(), FALSE));
    const wchar_t* planted[] = {L"version.dll", L"comctl32.dll", L"uxtheme.dll", L"msftedit.dll"};
    for (const wchar_t* name : planted) ASSERT_TRUE(CopyFileW(Fixture(L"fx_planted.dll").c_str(), (dir / name).c_str(), FALSE));
    kit::Program p(L"\"" + Fixture(L"fx_register.dll") + L"\"", dir / exeName, dir.Path().c_str());
    HWND main = p.Window(L"PellamyMain", nullptr, 15000);
    ASSERT_NE(main, nullptr);
    // Register shows the version of the module named on the command line: the real version library read it.
    PostMessageW(GetDlgItem(main, frmMain::IdcmdRegister), BM_CLICK, 0, 0);
    wchar_t info[512] = {};
    testenv::PumpUntil([&] {
        DWORD_PTR got = 0;
        SendMessageTimeoutW(GetDlgItem(main, frmMain::IdlblFileInfo), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(info),
                            SMTO_ABORTIFHUNG, 2000, &got);
        return info[0] != 0;
    }, 5000);
    EXPECT_EQ(std::wstring(info), kRegisterInfo);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.Wait(10000), 0);
    for (const wchar_t* name : planted) EXPECT_FALSE(testenv::Exists(dir / (std::wstring(name) + L".loaded"))) << name;
    // The loader of system libraries looks in the system folder only, not beside this test program.
    const std::wstring beside = testenv::BinDir() + L"\\fx_probe.dll";
    ASSERT_TRUE(CopyFileW(Fixture(L"fx_planted.dll").c_str(), beside.c_str(), FALSE));
    EXPECT_FALSE(raii::Module(syslib::LoadSystemLibrary(L"fx_probe.dll")));
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(raii::Module(syslib::LoadSystemLibrary(L"version.dll")).get(), path, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(path, (testenv::SystemFolder() + L"\\").c_str(), testenv::SystemFolder().size() + 1), 0) << path;
    DeleteFileW(beside.c_str());
    DeleteFileW((beside + L".loaded").c_str());
}

}  // namespace
