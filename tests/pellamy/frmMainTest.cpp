// The registration window seen from outside: layout, the two button rows, validation messages,
// version display, drops and the command line.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "PellamyTestKit.h"
#include "Raii.h"
#include "SystemLibraries.h"
#include "TestEnv.h"
#include "Twips.h"
#include "basFindWindows.h"
#include "frmAbout.h"

using kit::Fixture;
using kit::Window;

namespace {

std::wstring MenuText(HMENU menu, UINT pos) {
    wchar_t buf[128] = {};
    GetMenuStringW(menu, pos, buf, 128, MF_BYPOSITION);
    return buf;
}

TEST(PellamyWindow, LoadsIdleWithItsLayoutHintAndMenus) {
    Window w;
    frmMain& f = w.form;
    EXPECT_EQ(f.Caption(), L"Register or Unregister OCX / DLL");
    EXPECT_TRUE(w.Idle());
    EXPECT_FALSE(w.Verify());
    std::wstring upper = SystemFolder;  // the hint's second line is upper case, system folder included
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    EXPECT_EQ(f.Text(frmMain::lblOCXFileSpec),
              L"File specification of OCX/DLL\r\n    E.G. " + upper + L"\\FILENAME.OCX");
    // Fixed border, no minimize or maximize box, client size in twips.
    EXPECT_FALSE(GetWindowLongPtrW(f.Hwnd(), GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    RECT client;
    GetClientRect(f.Hwnd(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(5805, f.Dpi()));
    EXPECT_EQ(client.bottom, TwipsToPixels(2430, f.Dpi()));
    const struct {
        int id;
        const wchar_t* caption;
        LONG weight;
    } controls[] = {{frmMain::cmdDialogFileSpec, L"...", FW_BOLD},   {frmMain::cmdRegister, L"Register", FW_BOLD},
                    {frmMain::cmdProceed, L"Proceed", FW_BOLD},      {frmMain::cmdUnregister, L"Unregister", FW_BOLD},
                    {frmMain::cmdCancel, L"Cancel", FW_BOLD},        {frmMain::cmdExit, L"Exit", FW_BOLD},
                    {frmMain::lblPleaseVerify, L"Please verify Product Version, if any:", FW_NORMAL}};
    for (const auto& c : controls) {
        EXPECT_EQ(f.Text(c.id), c.caption);
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.Item(c.id), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        EXPECT_EQ(lf.lfWeight, c.weight) << c.id;
    }
    // Tab order: path box, Register, Unregister, Exit, browse; no button answers Enter.
    HWND h = f.Item(frmMain::txtOCXPath);
    for (int id : {frmMain::cmdRegister, frmMain::cmdUnregister, frmMain::cmdExit, frmMain::cmdDialogFileSpec})
        EXPECT_EQ(h = GetNextDlgTabItem(f.Hwnd(), h, FALSE), f.Item(id)) << id;
    EXPECT_EQ(HIWORD(SendMessageW(f.Hwnd(), DM_GETDEFID, 0, 0)), 0);
    HMENU bar = GetMenu(f.Hwnd());
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(MenuText(GetSubMenu(bar, 0), 2), L"E&xit");
    EXPECT_EQ(MenuText(GetSubMenu(bar, 1), 1), L"Un - Register");
    EXPECT_EQ(MenuText(GetSubMenu(bar, 2), 0), L"About Pellamy");
}

TEST(PellamyWindow, BlankMissingAndFolderPathsAreRefusedAndNothingChanges) {
    Window w;
    testenv::TempDir dir;
    const struct {
        std::wstring path;
        const wchar_t* message;
    } cases[] = {{L"", L"No path and filename yet"},
                 {L"    ", L"No path and filename yet"},
                 {dir / L"missing.ocx", L"File not found"},
                 {dir.Path(), L"File not found"},
                 {L"C:\\no\\such\\folder\\x.dll", L"File not found"},
                 {L"bad|name?.dll", L"File not found"}};
    for (const auto& c : cases) {
        w.SetPath(c.path);
        w.Click(frmMain::cmdRegister);
        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].flags, static_cast<UINT>(MB_OK));  // OK only, no icon
        EXPECT_EQ(w.TakeOne(), c.message) << c.path;
        w.Menu(frmMain::mnuoperationsBase + 1);
        EXPECT_EQ(w.TakeOne(), c.message) << c.path;
    }
    EXPECT_TRUE(w.Idle());
    EXPECT_EQ(w.form.RegisterChosen, 0);
    EXPECT_EQ(w.form.UnregisterChosen, 0);
}

TEST(PellamyWindow, ConfirmStateTransitionsByButtonsMenusAndEdits) {
    Window w;
    frmMain& f = w.form;
    w.SetPath(Fixture(L"fx_register.dll"));
    w.Click(frmMain::cmdRegister);
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(f.RegisterChosen, -1);
    EXPECT_TRUE(w.Verify());
    const std::wstring info = L"Company Name:  Pellamy Test Fixtures\r\nProduct Version:  2.5.0.7";
    EXPECT_EQ(w.Info(), info);
    SendMessageW(f.Item(frmMain::txtOCXPath), WM_CHAR, 'x', 0);  // the locked box refuses typing
    EXPECT_EQ(w.Path(), Fixture(L"fx_register.dll"));
    // Operations > Un - Register while confirming: validates again, switches the choice, keeps the labels.
    w.Menu(frmMain::mnuoperationsBase + 1);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(f.UnregisterChosen, -1);
    EXPECT_EQ(f.RegisterChosen, 0);
    EXPECT_EQ(w.Info(), info);
    // A blank path set while confirming: the message, and the state stays.
    w.SetPath(L"  ");
    w.Menu(frmMain::mnuoperationsBase + 0);
    EXPECT_EQ(w.TakeOne(), L"No path and filename yet");
    EXPECT_TRUE(w.Confirm());
    // The program sets the locked box: a change of the path clears the labels and leaves the buttons.
    w.SetPath(Fixture(L"fx_fail.dll"));
    EXPECT_EQ(w.Info(), L"");
    EXPECT_FALSE(w.Verify());
    EXPECT_TRUE(w.Confirm());
    w.Click(frmMain::cmdCancel);
    EXPECT_TRUE(w.Idle());
    EXPECT_EQ(f.UnregisterChosen, -1);  // the choice flags keep their values
    // The Unregister button in the idle state shows no version.
    w.Click(frmMain::cmdUnregister);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(w.Info(), L"");
    EXPECT_FALSE(w.Verify());
}

TEST(PellamyWindow, VersionBlocksOfEveryShape) {
    Window w;
    frmMain& f = w.form;
    const struct {
        const wchar_t* file;
        bool found;
        const wchar_t *company, *product;
    } cases[] = {
        {L"fx_register.dll", true, L"Pellamy Test Fixtures", L"2.5.0.7"},  // 34 characters cut to 21
        {L"fx_fail.dll", true, L"Exactly Twenty-One Co", L"1.0.0.0"},      // 21 shown whole, 040904E4
        {L"fx_hang.dll", false, L"Hang Fixtures", L"   "},                 // blank product version
        {L"fx_crash.dll", true, L"", L"3.1.4"},                            // no company, no table
        {L"fx_regonly.dll", true, L"Testfirma GmbH", L"4.0.0.1"},          // German, Western code page
    };
    for (const auto& c : cases) {
        w.SetPath(Fixture(c.file));
        w.Click(frmMain::cmdRegister);
        EXPECT_EQ(f.CompanyName, c.company) << c.file;
        EXPECT_EQ(f.ProductVersion, c.product) << c.file;
        EXPECT_EQ(w.Verify(), c.found) << c.file;
        EXPECT_EQ(w.Info(), c.found ? L"Company Name:  " + std::wstring(c.company) + L"\r\nProduct Version:  " + c.product
                                    : std::wstring(L"(No Product Version available for this file)"))
            << c.file;
        w.Click(frmMain::cmdCancel);
    }
    // No block, not a module, missing: the fields keep their values and the no-version text shows.
    f.CompanyName = L"kept";
    for (const wchar_t* file : {L"fx_noentry.dll", L"notadll.dll", L"missing.dll"}) {
        EXPECT_FALSE(f.ReadVersionInfo(Fixture(file))) << file;
        EXPECT_EQ(f.CompanyName, L"kept");
        f.ShowVersionInfo(Fixture(file));
        EXPECT_EQ(w.Info(), L"(No Product Version available for this file)");
    }
    EXPECT_TRUE(w.boxes.empty());
}

TEST(PellamyWindow, QuotedAndRelativePathsAreAccepted) {
    Window w;
    w.SetPath(L"\"" + Fixture(L"fx_register.dll") + L"\"");
    w.Click(frmMain::cmdRegister);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(w.form.ProductVersion, L"2.5.0.7");
    w.Click(frmMain::cmdCancel);
    wchar_t old[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, old);
    SetCurrentDirectoryW((testenv::BinDir() + L"\\fixtures").c_str());
    w.SetPath(L"fx_fail.dll");
    w.Click(frmMain::cmdRegister);
    SetCurrentDirectoryW(old);
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_EQ(w.form.ProductVersion, L"1.0.0.0");
}

TEST(PellamyWindow, IsFileThereNeedsAReadableFile) {
    testenv::TempDir dir;
    const std::wstring named = dir / L"Ünïcödé ÖCX mödule with a long name.ocx", locked = dir / L"locked.ocx";
    ASSERT_TRUE(testenv::WriteBytes(named, "x"));
    EXPECT_TRUE(frmMain::IsFileThere(named));
    for (const std::wstring& bad : {dir.Path(), dir / L"missing.ocx", std::wstring(), std::wstring(L"a\"b")})
        EXPECT_FALSE(frmMain::IsFileThere(bad)) << bad;
    // A file held open without sharing cannot be opened.
    raii::File lock(CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_FALSE(frmMain::IsFileThere(locked));
    lock.reset();
    EXPECT_TRUE(frmMain::IsFileThere(locked));
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

TEST(PellamyWindow, ExitAboutAndErrMsgProc) {
    {
        Window w;
        w.Menu(frmMain::mnuHelpBase + 0);
        w.Menu(frmMain::mnuHelpBase + 0);  // shown again: brought forward, still one
        frmAbout& about = form::Single<frmAbout>();
        EXPECT_EQ(about.Caption(), L"About Pellamy");
        EXPECT_EQ(FindWindowExW(nullptr, about.Hwnd(), nullptr, L"About Pellamy"), nullptr);
        about.Unload();
        RecordError(5, L"Pellamy", L"Invalid procedure call or argument");
        w.form.ErrMsgProc(L"Something went wrong");
        EXPECT_EQ(w.TakeOne(), L"Something went wrong\r\n5     Invalid procedure call or argument");
        w.Click(frmMain::cmdExit);
        EXPECT_FALSE(w.form.IsLoaded());
    }
    Window w;
    w.Menu(frmMain::mnufileBase + 2);
    EXPECT_FALSE(w.form.IsLoaded());
    EXPECT_TRUE(w.boxes.empty());
}

// The real program: a path on the command line lands in the path box.
TEST(PellamyProgram, CommandLinePathFillsThePathBox) {
    const std::wstring exe = testenv::BinDir() + (sizeof(void*) == 8 ? L"\\Pellamy64.exe" : L"\\Pellamy.exe");
    const std::wstring path = Fixture(L"fx_register.dll");
    std::wstring cmd = L"\"" + exe + L"\" \"" + path + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    raii::Handle process(pi.hProcess), thread(pi.hThread);
    HWND main = nullptr;
    DWORD pid = 0;
    testenv::PumpUntil([&] {  // shown after the path is set
        main = FindWindowExW(nullptr, nullptr, L"PellamyMain", nullptr);
        return main && GetWindowThreadProcessId(main, &pid) && pid == pi.dwProcessId && IsWindowVisible(main);
    }, 15000);
    ASSERT_EQ(pid, pi.dwProcessId);
    wchar_t text[1024] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(GetDlgItem(main, frmMain::txtOCXPath), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, &got);
    EXPECT_EQ(std::wstring(text), path);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
}

// A copy of the program in a folder holding libraries named like system ones (a downloads folder):
// none of them is loaded, neither at start nor when the version library is first used.
TEST(PellamyProgram, LibrariesPlantedBesideTheProgramAreNotLoaded) {
    const std::wstring exeName = sizeof(void*) == 8 ? L"Pellamy64.exe" : L"Pellamy.exe";
    testenv::TempDir dir;
    ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\" + exeName).c_str(), (dir / exeName).c_str(), FALSE));
    const wchar_t* planted[] = {L"version.dll", L"comctl32.dll", L"uxtheme.dll", L"msftedit.dll"};
    for (const wchar_t* name : planted)
        ASSERT_TRUE(CopyFileW(Fixture(L"fx_planted.dll").c_str(), (dir / name).c_str(), FALSE)) << name;
    const std::wstring exe = dir / exeName, path = Fixture(L"fx_register.dll");
    std::wstring cmd = L"\"" + exe + L"\" \"" + path + L"\"";
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
    // Register shows the version information: the real version library read it.
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
}

// The loader of system libraries looks in the system folder only, never beside the program.
TEST(PellamyProgram, SystemLibrariesComeFromTheSystemFolderOnly) {
    const std::wstring beside = testenv::BinDir() + L"\\fx_planted_probe.dll";
    ASSERT_TRUE(CopyFileW(Fixture(L"fx_planted.dll").c_str(), beside.c_str(), FALSE));
    HMODULE planted = syslib::LoadSystemLibrary(L"fx_planted_probe.dll");
    EXPECT_EQ(planted, nullptr);
    if (planted) FreeLibrary(planted);
    HMODULE version = syslib::LoadSystemLibrary(L"version.dll");
    ASSERT_NE(version, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(version, path, MAX_PATH);
    wchar_t system[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(_wcsnicmp(path, system, n), 0) << path;
    FreeLibrary(version);
    DeleteFileW(beside.c_str());
    DeleteFileW((beside + L".loaded").c_str());
}

}  // namespace
