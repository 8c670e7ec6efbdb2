// The registration window seen from outside: the two button rows, validation, version display,
// drops, and the real program among planted libraries.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include "PellamyTestKit.h"
#include "Raii.h"
#include "SystemLibraries.h"
#include "TestEnv.h"

using kit::Fixture;
using kit::Window;

namespace {

const std::wstring kNoVersion = L"(No Product Version available for this file)";

TEST(PellamyWindow, BlankMissingFolderAndLockedPathsAreRefusedAndNothingChanges) {
    Window w;
    testenv::TempDir dir;
    const std::wstring locked = dir / L"locked.ocx";
    raii::File lock(CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const struct {
        std::wstring path;
        const wchar_t* message;
    } cases[] = {{L"    ", L"No path and filename yet"},
                 {dir / L"missing.ocx", L"File not found"},
                 {dir.Path(), L"File not found"},
                 {locked, L"File not found"}};  // held open without sharing: not readable
    for (const auto& c : cases) {
        w.SetPath(c.path);
        w.Click(frmMain::cmdRegister);
        EXPECT_EQ(w.TakeOne(), c.message) << c.path;
        w.Menu(frmMain::mnuoperationsBase + 1);
        EXPECT_EQ(w.TakeOne(), c.message) << c.path;
    }
    EXPECT_TRUE(w.Idle());
    EXPECT_EQ(w.form.RegisterChosen + w.form.UnregisterChosen, 0);
}

TEST(PellamyWindow, ConfirmStateTransitionsByButtonsMenusAndEdits) {
    Window w;
    frmMain& f = w.form;
    EXPECT_TRUE(w.Idle());
    w.SetPath(L"\"" + Fixture(L"fx_register.dll") + L"\"");  // quoted, as "Copy as path" gives
    w.Click(frmMain::cmdRegister);
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(f.RegisterChosen, -1);
    EXPECT_TRUE(w.Verify());
    const std::wstring info = L"Company Name:  Pellamy Test Fixtures\r\nProduct Version:  2.5.0.7";
    EXPECT_EQ(w.Info(), info);
    SendMessageW(f.Item(frmMain::txtOCXPath), WM_CHAR, 'x', 0);  // the locked box refuses typing
    // Operations > Un - Register while confirming: validates again, switches the choice, keeps the labels.
    w.Menu(frmMain::mnuoperationsBase + 1);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(f.UnregisterChosen, -1);
    EXPECT_EQ(f.RegisterChosen, 0);
    EXPECT_EQ(w.Info(), info);
    // The program sets the locked box: a change of the path clears the labels and leaves the buttons.
    w.SetPath(Fixture(L"fx_fail.dll"));
    EXPECT_EQ(w.Info(), L"");
    EXPECT_FALSE(w.Verify());
    EXPECT_TRUE(w.Confirm());
    w.Click(frmMain::cmdCancel);
    EXPECT_TRUE(w.Idle());
    // The Unregister button shows no version.
    w.Click(frmMain::cmdUnregister);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(w.Info(), L"");
    w.Click(frmMain::cmdCancel);
    w.Click(frmMain::cmdExit);
    EXPECT_FALSE(f.IsLoaded());
}

// Version values are found through the block's translation table, whatever language and code page.
TEST(PellamyWindow, VersionBlocksOfEveryShape) {
    Window w;
    wchar_t old[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, old);
    SetCurrentDirectoryW((testenv::BinDir() + L"\\fixtures").c_str());
    const struct {
        const wchar_t* file;
        std::wstring info;
    } cases[] = {
        {L"fx_fail.dll", L"Company Name:  Exactly Twenty-One Co\r\nProduct Version:  1.0.0.0"},  // 040904E4, relative
        {L"fx_regonly.dll", L"Company Name:  Testfirma GmbH\r\nProduct Version:  4.0.0.1"},      // German
        {L"fx_crash.dll", L"Company Name:  \r\nProduct Version:  3.1.4"},                        // no company
        {L"fx_hang.dll", kNoVersion},                                                            // blank version
        {L"fx_noentry.dll", kNoVersion},                                                         // no block
        {L"notadll.dll", kNoVersion}};
    for (const auto& c : cases) {
        w.SetPath(c.file);
        w.Click(frmMain::cmdRegister);
        EXPECT_EQ(w.Info(), c.info) << c.file;
        EXPECT_EQ(w.Verify(), c.info != kNoVersion) << c.file;
        w.Click(frmMain::cmdCancel);
    }
    SetCurrentDirectoryW(old);
    EXPECT_TRUE(w.boxes.empty());
}

TEST(PellamyWindow, DroppedFileGoesIntoThePathBox) {
    Window w;
    w.SetPath(Fixture(L"fx_register.dll"));
    w.Click(frmMain::cmdRegister);
    ASSERT_TRUE(w.Verify());
    const std::wstring dropped = Fixture(L"fx_fail.dll");
    // A drop as Explorer sends it: DROPFILES followed by the wide names and an extra NUL.
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + (dropped.size() + 2) * 2);
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), dropped.c_str(), dropped.size() * sizeof(wchar_t));
    GlobalUnlock(mem);
    SendMessageW(w.form.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);  // the window frees it
    EXPECT_EQ(w.Path(), dropped);
    EXPECT_FALSE(w.Verify());
}

// A copy of the program in a folder holding libraries named like system ones (a downloads folder),
// given a module on its command line: none of them is loaded, neither at start nor when the version
// library is first used. The loader of system libraries looks in the system folder only.
TEST(PellamyProgram, LibrariesPlantedBesideTheProgramAreNotLoaded) {
    const std::wstring exeName = sizeof(void*) == 8 ? L"Pellamy64.exe" : L"Pellamy.exe";
    testenv::TempDir dir;
    ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\" + exeName).c_str(), (dir / exeName).c_str(), FALSE));
    const wchar_t* planted[] = {L"version.dll", L"comctl32.dll", L"uxtheme.dll", L"msftedit.dll"};
    for (const wchar_t* name : planted)
        ASSERT_TRUE(CopyFileW(Fixture(L"fx_planted.dll").c_str(), (dir / name).c_str(), FALSE)) << name;
    const std::wstring exe = dir / exeName;
    std::wstring cmd = L"\"" + exe + L"\" \"" + Fixture(L"fx_register.dll") + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    // Started in that folder: the current folder holds the planted libraries too.
    ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.Path().c_str(), &si,
                               &pi));
    raii::Handle process(pi.hProcess), thread(pi.hThread);
    HWND main = nullptr;
    DWORD pid = 0;
    testenv::PumpUntil([&] {
        main = FindWindowExW(nullptr, nullptr, L"PellamyMain", nullptr);
        return main && GetWindowThreadProcessId(main, &pid) && pid == pi.dwProcessId && IsWindowVisible(main);
    }, 15000);
    ASSERT_EQ(pid, pi.dwProcessId);
    // Register shows the version of the module named on the command line: the real version library read it.
    PostMessageW(GetDlgItem(main, frmMain::cmdRegister), BM_CLICK, 0, 0);
    wchar_t info[512] = {};
    testenv::PumpUntil([&] {
        DWORD_PTR got = 0;
        SendMessageTimeoutW(GetDlgItem(main, frmMain::lblFileInfo), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(info),
                            SMTO_ABORTIFHUNG, 2000, &got);
        return info[0] != 0;
    }, 5000);
    EXPECT_EQ(std::wstring(info), L"Company Name:  Pellamy Test Fixtures\r\nProduct Version:  2.5.0.7");
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
    for (const wchar_t* name : planted) EXPECT_FALSE(testenv::Exists(dir / (std::wstring(name) + L".loaded"))) << name;

    const std::wstring beside = testenv::BinDir() + L"\\fx_probe.dll";  // beside this test program
    ASSERT_TRUE(CopyFileW(Fixture(L"fx_planted.dll").c_str(), beside.c_str(), FALSE));
    raii::Module probe(syslib::LoadSystemLibrary(L"fx_probe.dll"));
    EXPECT_FALSE(probe);
    raii::Module version(syslib::LoadSystemLibrary(L"version.dll"));
    wchar_t path[MAX_PATH] = {}, system[MAX_PATH] = {};
    GetModuleFileNameW(version.get(), path, MAX_PATH);
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_TRUE(n > 0 && _wcsnicmp(path, system, n) == 0) << path;
    DeleteFileW(beside.c_str());
    DeleteFileW((beside + L".loaded").c_str());
}

}  // namespace
