// The registration window seen from outside: layout, the two button rows, validation messages,
// version display, drops and the command line.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "PellamyTestKit.h"
#include "Raii.h"
#include "TestEnv.h"
#include "Texts.h"
#include "Twips.h"
#include "basFindWindows.h"
#include "frmAbout.h"

using kit::Fixture;
using kit::Window;

namespace {

RECT ClientRectOf(const frmMain& f, int id) {
    RECT r;
    GetWindowRect(f.Item(id), &r);
    MapWindowPoints(nullptr, f.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring MenuText(HMENU menu, UINT pos) {
    wchar_t buf[128] = {};
    GetMenuStringW(menu, pos, buf, 128, MF_BYPOSITION);
    return buf;
}

TEST(PellamyWindow, LoadsIdleWithItsLayoutHintAndMenus) {
    Window w;
    frmMain& f = w.form;
    EXPECT_EQ(AppTitle, L"Pellamy");
    EXPECT_EQ(f.Caption(), L"Register or Unregister OCX / DLL");
    EXPECT_TRUE(w.Idle());
    EXPECT_FALSE(w.Verify());
    EXPECT_EQ(w.Info(), L"");
    EXPECT_EQ(f.InitialDir, SystemFolder);
    EXPECT_EQ(f.RegisterChosen, 0);
    EXPECT_EQ(f.UnregisterChosen, 0);

    // Hint: the second line is upper case, system folder included.
    std::wstring upper = SystemFolder;
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    EXPECT_EQ(f.Text(frmMain::lblOCXFileSpec),
              L"File specification of OCX/DLL\r\n    E.G. " + upper + L"\\FILENAME.OCX");

    // Fixed border, no minimize or maximize box, client size and control places in twips.
    const LONG style = static_cast<LONG>(GetWindowLongPtrW(f.Hwnd(), GWL_STYLE));
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    const int dpi = f.Dpi();
    RECT client;
    GetClientRect(f.Hwnd(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(5805, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(2430, dpi));
    EXPECT_EQ(ClientRectOf(f, frmMain::cmdProceed).left, ClientRectOf(f, frmMain::cmdRegister).left);
    EXPECT_EQ(ClientRectOf(f, frmMain::cmdCancel).left, ClientRectOf(f, frmMain::cmdUnregister).left);
    EXPECT_EQ(ClientRectOf(f, frmMain::cmdExit).left, TwipsToPixels(3720, dpi));
    EXPECT_EQ(ClientRectOf(f, frmMain::txtOCXPath).top, TwipsToPixels(690, dpi));

    // Captions and fonts.
    EXPECT_EQ(f.Text(frmMain::cmdDialogFileSpec), L"...");
    EXPECT_EQ(f.Text(frmMain::cmdRegister), L"Register");
    EXPECT_EQ(f.Text(frmMain::cmdProceed), L"Proceed");
    EXPECT_EQ(f.Text(frmMain::cmdUnregister), L"Unregister");
    EXPECT_EQ(f.Text(frmMain::cmdCancel), L"Cancel");
    EXPECT_EQ(f.Text(frmMain::cmdExit), L"Exit");
    EXPECT_EQ(f.Text(frmMain::lblPleaseVerify), L"Please verify Product Version, if any:");
    auto weight = [&](int id) {
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.Item(id), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        return lf.lfWeight;
    };
    for (int id : {+frmMain::txtOCXPath, +frmMain::cmdRegister, +frmMain::cmdExit, +frmMain::lblFileInfo,
                   +frmMain::cmdDialogFileSpec})
        EXPECT_EQ(weight(id), FW_BOLD) << id;
    EXPECT_EQ(weight(frmMain::lblOCXFileSpec), FW_NORMAL);
    EXPECT_EQ(weight(frmMain::lblPleaseVerify), FW_NORMAL);

    // Tab order: path box, Register, Unregister, Exit, browse.
    std::vector<HWND> order;
    HWND h = f.Item(frmMain::txtOCXPath);
    for (int i = 0; i < 5; ++i) {
        order.push_back(h);
        h = GetNextDlgTabItem(f.Hwnd(), h, FALSE);
    }
    EXPECT_EQ(order[1], f.Item(frmMain::cmdRegister));
    EXPECT_EQ(order[2], f.Item(frmMain::cmdUnregister));
    EXPECT_EQ(order[3], f.Item(frmMain::cmdExit));
    EXPECT_EQ(order[4], f.Item(frmMain::cmdDialogFileSpec));
    // No button answers Enter.
    EXPECT_EQ(HIWORD(SendMessageW(f.Hwnd(), DM_GETDEFID, 0, 0)), 0);

    // Menus: every item enabled, no shortcut.
    HMENU bar = GetMenu(f.Hwnd());
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(MenuText(bar, 0), L"&File");
    EXPECT_EQ(MenuText(bar, 1), L"Operations");
    EXPECT_EQ(MenuText(bar, 2), L"Help");
    HMENU file = GetSubMenu(bar, 0), ops = GetSubMenu(bar, 1), help = GetSubMenu(bar, 2);
    EXPECT_EQ(MenuText(file, 0), L"&Open");
    EXPECT_EQ(GetMenuItemID(file, 2), static_cast<UINT>(frmMain::mnufileBase + 2));
    EXPECT_EQ(MenuText(file, 2), L"E&xit");
    EXPECT_EQ(MenuText(ops, 0), L"Register");
    EXPECT_EQ(MenuText(ops, 1), L"Un - Register");
    EXPECT_EQ(MenuText(help, 0), L"About Pellamy");

    // The browse button's tool tip.
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr)
        if (GetWindow(tip, GW_OWNER) == f.Hwnd()) break;
    ASSERT_NE(tip, nullptr);
    wchar_t text[64] = {};
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = f.Hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(f.Item(frmMain::cmdDialogFileSpec));
    ti.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, L"Browse ...");
}

TEST(PellamyWindow, BlankMissingAndFolderPathsAreRefusedAndNothingChanges) {
    Window w;
    for (const wchar_t* blank : {L"", L"    "}) {
        w.SetPath(blank);
        w.Click(frmMain::cmdRegister);
        EXPECT_EQ(w.TakeOne(), L"No path and filename yet");
        w.Click(frmMain::cmdUnregister);
        EXPECT_EQ(w.TakeOne(), L"No path and filename yet");
    }
    EXPECT_EQ(w.boxes.size(), 0u);
    testenv::TempDir dir;
    for (const std::wstring& bad : {dir / L"missing.ocx", dir.Path(), std::wstring(L"C:\\no\\such\\folder\\x.dll"),
                                    std::wstring(L"bad|name?.dll")}) {
        w.SetPath(bad);
        w.Menu(frmMain::mnuoperationsBase + 0);
        EXPECT_EQ(w.TakeOne(), L"File not found") << bad;
        w.Menu(frmMain::mnuoperationsBase + 1);
        EXPECT_EQ(w.TakeOne(), L"File not found") << bad;
    }
    EXPECT_TRUE(w.Idle());
    EXPECT_EQ(w.form.RegisterChosen, 0);
    EXPECT_EQ(w.form.UnregisterChosen, 0);
}

TEST(PellamyWindow, MessagesAreOkOnlyWithoutIconUnderTheProgramTitle) {
    Window w;
    w.Click(frmMain::cmdRegister);
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].flags, static_cast<UINT>(MB_OK));
    EXPECT_EQ(w.boxes[0].title, L"Pellamy");
}

TEST(PellamyWindow, RegisterShowsVersionAndConfirmStateCancelGoesBack) {
    Window w;
    frmMain& f = w.form;
    w.SetPath(Fixture(L"fx_register.dll"));
    w.Click(frmMain::cmdRegister);
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(f.RegisterChosen, -1);
    EXPECT_EQ(f.UnregisterChosen, 0);
    EXPECT_TRUE(w.Verify());
    EXPECT_EQ(w.Info(), L"Company Name:  Pellamy Test Fixtures\r\nProduct Version:  2.5.0.7");
    EXPECT_EQ(f.CompanyName, L"Pellamy Test Fixtures");
    EXPECT_EQ(f.ProductVersion, L"2.5.0.7");
    EXPECT_NE(f.LastResult, 0);

    // The locked path box refuses typing but the program may still set it.
    SendMessageW(f.Item(frmMain::txtOCXPath), WM_CHAR, 'x', 0);
    EXPECT_EQ(w.Path(), Fixture(L"fx_register.dll"));

    w.Click(frmMain::cmdCancel);
    EXPECT_TRUE(w.Idle());
    EXPECT_FALSE(w.Verify());
    EXPECT_EQ(w.Info(), L"");
    EXPECT_EQ(f.RegisterChosen, -1);  // the choice flags keep their values

    // Editing after a Register/Cancel cycle clears the labels and leaves the buttons.
    w.Click(frmMain::cmdRegister);
    EXPECT_TRUE(w.Verify());
    w.Click(frmMain::cmdCancel);
    w.Click(frmMain::cmdRegister);
    w.SetPath(Fixture(L"fx_fail.dll"));  // the program sets the locked box: a change of the path
    EXPECT_FALSE(w.Verify());
    EXPECT_EQ(w.Info(), L"");
    EXPECT_TRUE(w.Confirm());
    EXPECT_TRUE(w.boxes.empty());
}

TEST(PellamyWindow, UnregisterLeavesTheLabelsAndMenuCommandsWorkInTheConfirmState) {
    Window w;
    frmMain& f = w.form;
    w.SetPath(Fixture(L"fx_register.dll"));
    w.Click(frmMain::cmdRegister);
    const std::wstring info = w.Info();
    // Operations > Un - Register while confirming: validates again and switches the choice.
    w.Menu(frmMain::mnuoperationsBase + 1);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(f.UnregisterChosen, -1);
    EXPECT_EQ(f.RegisterChosen, 0);
    EXPECT_EQ(w.Info(), info);
    EXPECT_TRUE(w.Verify());
    // A blank path set while confirming: the message, and the state stays.
    w.SetPath(L"  ");
    w.Menu(frmMain::mnuoperationsBase + 0);
    EXPECT_EQ(w.TakeOne(), L"No path and filename yet");
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(f.UnregisterChosen, -1);
    // Back to a valid path; Register from the menu re-enters the confirm state with Register chosen.
    w.SetPath(Fixture(L"fx_fail.dll"));
    w.Menu(frmMain::mnuoperationsBase + 0);
    EXPECT_EQ(f.RegisterChosen, -1);
    EXPECT_EQ(w.Info(), L"Company Name:  Exactly Twenty-One Co\r\nProduct Version:  1.0.0.0");
    // The Unregister button in the idle state.
    w.Click(frmMain::cmdCancel);
    w.Click(frmMain::cmdUnregister);
    EXPECT_TRUE(w.Confirm());
    EXPECT_EQ(w.Info(), L"");
    EXPECT_FALSE(w.Verify());
}

TEST(PellamyWindow, VersionBlocksOfEveryShape) {
    Window w;
    frmMain& f = w.form;
    struct Case {
        const wchar_t* file;
        bool found;
        const wchar_t* company;
        const wchar_t* product;
    };
    const Case cases[] = {
        {L"fx_register.dll", true, L"Pellamy Test Fixtures", L"2.5.0.7"},  // 34 characters cut to 21
        {L"fx_fail.dll", true, L"Exactly Twenty-One Co", L"1.0.0.0"},      // 21 shown whole, 040904E4
        {L"fx_hang.dll", false, L"Hang Fixtures", L"   "},                 // blank product version
        {L"fx_crash.dll", true, L"", L"3.1.4"},                            // no company, no table
        {L"fx_regonly.dll", true, L"Testfirma GmbH", L"4.0.0.1"},          // German, Western code page
    };
    for (const Case& c : cases) {
        EXPECT_EQ(f.ReadVersionInfo(Fixture(c.file)), c.found) << c.file;
        EXPECT_EQ(f.CompanyName, c.company) << c.file;
        EXPECT_EQ(f.ProductVersion, c.product) << c.file;
        w.SetPath(Fixture(c.file));
        w.Click(frmMain::cmdRegister);
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
        EXPECT_FALSE(w.Verify());
    }
    EXPECT_TRUE(w.boxes.empty());
}

TEST(PellamyWindow, QuotedAndRelativePathsAreAccepted) {
    Window w;
    w.SetPath(L"\"" + Fixture(L"fx_register.dll") + L"\"");
    w.Click(frmMain::cmdRegister);
    EXPECT_TRUE(w.boxes.empty());
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
    const std::wstring named = dir / L"Ünïcödé ÖCX mödule with a long name.ocx";
    ASSERT_TRUE(testenv::WriteBytes(named, "x"));
    EXPECT_TRUE(frmMain::IsFileThere(named));
    EXPECT_TRUE(frmMain::IsFileThere(Fixture(L"fx_register.dll")));
    EXPECT_FALSE(frmMain::IsFileThere(dir.Path()));
    EXPECT_FALSE(frmMain::IsFileThere(dir / L"missing.ocx"));
    EXPECT_FALSE(frmMain::IsFileThere(L""));
    EXPECT_FALSE(frmMain::IsFileThere(L"a\"b"));
    // A file held open without sharing cannot be opened.
    const std::wstring locked = dir / L"locked.ocx";
    raii::File lock(CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_FALSE(frmMain::IsFileThere(locked));
    lock.reset();
    EXPECT_TRUE(frmMain::IsFileThere(locked));
}

TEST(PellamyWindow, DroppedFileGoesIntoThePathBox) {
    Window w;
    w.SetPath(Fixture(L"fx_register.dll"));
    w.Click(frmMain::cmdRegister);
    w.Click(frmMain::cmdCancel);
    w.Click(frmMain::cmdRegister);
    ASSERT_TRUE(w.Verify());
    const std::wstring dropped = Fixture(L"fx_fail.dll");
    // A drop as Explorer sends it: DROPFILES followed by the wide names and an extra NUL.
    const size_t bytes = sizeof(DROPFILES) + (dropped.size() + 2) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), dropped.c_str(), dropped.size() * sizeof(wchar_t));
    GlobalUnlock(mem);
    SendMessageW(w.form.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);  // the window frees it
    EXPECT_EQ(w.Path(), dropped);
    EXPECT_EQ(w.Info(), L"");
    EXPECT_FALSE(w.Verify());
    EXPECT_TRUE(GetWindowLongPtrW(w.form.Hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST(PellamyWindow, ExitAboutAndErrMsgProc) {
    {
        Window w;
        w.Menu(frmMain::mnuHelpBase + 0);
        w.Menu(frmMain::mnuHelpBase + 0);  // shown again: brought forward, still one
        frmAbout& about = form::Single<frmAbout>();
        ASSERT_TRUE(about.IsLoaded());
        EXPECT_EQ(about.Caption(), L"About Pellamy");
        EXPECT_EQ(GetWindow(about.Hwnd(), GW_OWNER), nullptr);
        EXPECT_EQ(FindWindowExW(nullptr, about.Hwnd(), nullptr, L"About Pellamy"), nullptr);
        EXPECT_TRUE(w.boxes.empty());
        about.Unload();
        RecordError(5, L"Pellamy", L"Invalid procedure call or argument");
        w.form.ErrMsgProc(L"Something went wrong");
        EXPECT_EQ(w.TakeOne(), L"Something went wrong\r\n5     Invalid procedure call or argument");
        w.Click(frmMain::cmdExit);
        EXPECT_FALSE(w.form.IsLoaded());
    }
    {
        Window w;
        w.Menu(frmMain::mnufileBase + 2);
        EXPECT_FALSE(w.form.IsLoaded());
    }
    {
        Window w;
        SendMessageW(w.form.Hwnd(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(w.form.IsLoaded());
        EXPECT_TRUE(w.boxes.empty());
    }
}

// The real program: a path on the command line lands in the path box.
TEST(PellamyProgram, CommandLinePathFillsThePathBox) {
    const std::wstring exe = testenv::BinDir() + (sizeof(void*) == 8 ? L"\\Pellamy64.exe" : L"\\Pellamy.exe");
    const std::wstring path = Fixture(L"fx_register.dll");
    std::wstring cmd = L"\"" + exe + L"\" \"" + path + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    raii::Handle process(pi.hProcess), thread(pi.hThread);
    HWND main = nullptr;
    testenv::PumpUntil(
        [&] {
            HWND h = nullptr;
            while ((h = FindWindowExW(nullptr, h, L"PellamyMain", nullptr)) != nullptr) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == pi.dwProcessId && IsWindowVisible(h)) {  // shown after the path is set
                    main = h;
                    return true;
                }
            }
            return false;
        },
        15000);
    ASSERT_NE(main, nullptr);
    HWND box = GetDlgItem(main, frmMain::txtOCXPath);
    wchar_t text[1024] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(box, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &got);
    EXPECT_EQ(std::wstring(text), path);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
}

}  // namespace
