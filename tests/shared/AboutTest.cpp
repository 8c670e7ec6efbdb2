// The About box as a user meets it: texts, layout, link, buttons, closing; GetKeyValue and
// StartSysInfo against the real registry.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "AppInfo.h"
#include "BuildInfo.h"
#include "DialogAnswerer.h"
#include "HyperlinkLabel.h"
#include "Modal.h"
#include "SharedTexts.h"
#include "TestEnv.h"
#include "frmAbout.h"
#include "mShellExecute.h"

namespace {

WinVersionRecord Ver(int platform, int major, int minor, int build) {
    WinVersionRecord v;
    v.PlatformId = platform;
    v.Major = major;
    v.Minor = minor;
    v.Build = build;
    return v;
}

int CountTopLevel(const wchar_t* cls) {
    int n = 0;
    HWND h = nullptr;
    while ((h = FindWindowExW(nullptr, h, cls, nullptr)) != nullptr) ++n;
    return n;
}

RECT ClientRectOf(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override { AppTitle = L"Tavrin"; }
    void TearDown() override { gshell::TestHook() = nullptr; }
};

TEST_F(AboutBox, ShowsTitleVersionNoticeAndWarning) {
    frmAbout f;
    ASSERT_TRUE(f.Load());
    EXPECT_EQ(f.Caption(), L"About Tavrin");
    EXPECT_EQ(f.Text(frmAbout::lblTitle), L"Tavrin");
    EXPECT_EQ(f.Text(frmAbout::lblVersion), L"Version 1.35");
    EXPECT_EQ(AboutVersionLine(), L"Version " + std::to_wstring(APP_VERSION_MAJOR) + L"." +
                                      std::to_wstring(APP_VERSION_MINOR));
    EXPECT_EQ(f.Text(frmAbout::lblDescription), texts::kAboutNotice);
    EXPECT_EQ(f.Text(frmAbout::lblDisclaimer), texts::kAboutDisclaimer);
    EXPECT_EQ(f.Text(frmAbout::lblDisclaimer).rfind(L"Warning: ", 0), 0u);
    EXPECT_EQ(f.Text(frmAbout::lblhyperlink), L"Website");
    EXPECT_EQ(f.Text(frmAbout::cmdOK), L"OK");
    // The hidden buttons are there, hidden, with their captions.
    EXPECT_FALSE(f.IsVisible(frmAbout::cmdSysInfo));
    EXPECT_FALSE(f.IsVisible(frmAbout::Command1));
    EXPECT_EQ(f.Text(frmAbout::cmdSysInfo), L"&System Info...");
    EXPECT_EQ(f.Text(frmAbout::Command1), L"Web Update");
    f.Unload();
}

TEST_F(AboutBox, TheOtherProgramShowsItsOwnTitle) {
    AppTitle = L"Pellamy";
    frmAbout f;
    ASSERT_TRUE(f.Load());
    EXPECT_EQ(f.Caption(), L"About Pellamy");
    EXPECT_EQ(f.Text(frmAbout::lblTitle), L"Pellamy");
    f.Unload();
}

TEST_F(AboutBox, PlatformLineForEachRelease) {
    struct Case {
        WinVersionRecord v;
        const wchar_t* line;
    };
    const Case cases[] = {
        {Ver(1, 4, 10, 1998), L"OS - Windows 98"},      {Ver(1, 4, 10, 1997), L"Platform"},
        {Ver(1, 4, 90, 3000), L"OS - Windows ME"},      {Ver(2, 5, 0, 2195), L"OS - Windows 2000"},
        {Ver(2, 5, 2, 3790), L"OS - Windows 2003 Server"}, {Ver(2, 5, 2, 3791), L"Platform"},
        {Ver(2, 5, 1, 2600), L"OS - Windows XP"},       {Ver(2, 6, 0, 6000), L"OS - Windows Vista"},
        {Ver(2, 6, 1, 7601), L"OS - Windows Vista"},    {Ver(2, 10, 0, 19045), L"Platform"},
        {Ver(1, 4, 0, 950), L"Platform"},
    };
    for (const Case& c : cases) {
        frmAbout f;
        f.SetVersionRecord(c.v);
        ASSERT_TRUE(f.Load());
        EXPECT_EQ(f.Text(frmAbout::lblplatform), c.line)
            << c.v.PlatformId << " " << c.v.Major << "." << c.v.Minor << "." << c.v.Build;
        f.Unload();
    }
    // On the running system: what the version tests say about it.
    frmAbout f;
    ASSERT_TRUE(f.Load());
    WinVersionRecord here;
    ASSERT_TRUE(QueryWinVersion(here));
    EXPECT_EQ(f.Text(frmAbout::lblplatform), PlatformLine(here));
    f.Unload();
}

TEST_F(AboutBox, LayoutAndLinkFont) {
    frmAbout f;
    ASSERT_TRUE(f.Load());
    const int dpi = f.Dpi();
    RECT client;
    GetClientRect(f.Hwnd(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(5175, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(3045, dpi));
    RECT link = ClientRectOf(f.Hwnd(), f.Item(frmAbout::vbwHyperlink1));
    EXPECT_EQ(link.left, TwipsToPixels(840, dpi));
    EXPECT_EQ(link.top, TwipsToPixels(1200, dpi));
    EXPECT_EQ(link.right - link.left, TwipsToPixels(3990, dpi));
    RECT ok = ClientRectOf(f.Hwnd(), f.Item(frmAbout::cmdOK));
    EXPECT_EQ(ok.left, TwipsToPixels(3960, dpi));
    EXPECT_EQ(ok.top, TwipsToPixels(1680, dpi));
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.Item(frmAbout::vbwHyperlink1), WM_GETFONT, 0, 0)), sizeof(lf),
               &lf);
    EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
    EXPECT_EQ(-lf.lfHeight, PointsToPixels(9, dpi));
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.Item(frmAbout::lblTitle), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    // OK is the first stop of the tab order and the default button.
    EXPECT_EQ(GetNextDlgTabItem(f.Hwnd(), nullptr, FALSE), f.Item(frmAbout::cmdOK));
    EXPECT_EQ(LOWORD(SendMessageW(f.Hwnd(), DM_GETDEFID, 0, 0)), frmAbout::cmdOK);
    f.Unload();
}

TEST_F(AboutBox, LinkShowsAndOpensTheProductPageThroughTheShell) {
    std::vector<gshell::Call> calls;
    gshell::TestHook() = [&](const gshell::Call& c) {
        calls.push_back(c);
        return int64_t{42};
    };
    frmAbout f;
    f.Show();
    HWND link = f.Item(frmAbout::vbwHyperlink1);
    EXPECT_EQ(WindowText(link), APP_WEB_PAGE_W);
    EXPECT_EQ(hyperlink::Address(link), APP_WEB_PAGE_W);
    RECT r;
    GetClientRect(link, &r);
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, APP_WEB_PAGE_W);
    EXPECT_EQ(calls[0].operation, L"open");
    EXPECT_EQ(calls[0].showCommand, SW_SHOWNORMAL);
    // A press dragged off the link is no click; Space on the focused link is.
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(r.right + 20, 5));
    EXPECT_EQ(calls.size(), 1u);
    SendMessageW(link, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(calls.size(), 2u);
    // Enter on the focused link follows it, through the dialog keys, and leaves OK alone.
    SetFocus(link);
    ASSERT_EQ(GetFocus(), link);
    PostMessageW(link, WM_KEYDOWN, VK_RETURN, 0);
    form::PumpMessages();
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_TRUE(f.IsLoaded());
    f.Unload();
}

TEST_F(AboutBox, ALinkThatCannotBeOpenedShowsNothing) {
    gshell::TestHook() = [](const gshell::Call&) { return int64_t{31}; };
    int boxes = 0;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall&) { ++boxes; return IDOK; }});
    frmAbout f;
    f.Show();
    Err().Clear();
    EXPECT_FALSE(hyperlink::Follow(f.Item(frmAbout::vbwHyperlink1)));
    EXPECT_EQ(Err().Number, static_cast<int32_t>(0x80040437));
    EXPECT_EQ(boxes, 0);
    EXPECT_TRUE(f.IsLoaded());
    f.Unload();
}

TEST_F(AboutBox, OkEscapeAndTheCloseBoxUnloadIt) {
    frmAbout f;
    f.Show();
    SendMessageW(f.Item(frmAbout::cmdOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(f.IsLoaded());
    f.Show();
    SendMessageW(f.Hwnd(), WM_COMMAND, IDCANCEL, 0);  // Esc
    EXPECT_FALSE(f.IsLoaded());
    f.Show();
    SendMessageW(f.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(testenv::PumpUntil([&] { return !f.IsLoaded(); }, 3000));
    EXPECT_EQ(CountTopLevel(L"TavrinAboutBox"), 0);
}

TEST_F(AboutBox, OneInstanceAndEachShowingLoadsAfresh) {
    ShowAboutBox();
    ShowAboutBox();
    frmAbout& about = form::Single<frmAbout>();
    EXPECT_EQ(CountTopLevel(L"TavrinAboutBox"), 1);
    EXPECT_EQ(GetWindow(about.Hwnd(), GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowVisible(about.Hwnd()));
    about.Unload();
    AppTitle = L"Pellamy";
    ShowAboutBox();
    EXPECT_EQ(about.Caption(), L"About Pellamy");  // the load step ran again
    about.Unload();
}

TEST_F(AboutBox, IconOfTheCallerOrOfTheProgram) {
    HICON given = LoadIconW(nullptr, IDI_INFORMATION);
    frmAbout f;
    f.SetMainIcon(given);
    ASSERT_TRUE(f.Load());
    EXPECT_EQ(f.ShownIcon(), given);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(f.Item(frmAbout::picIcon), STM_GETICON, 0, 0)), given);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(f.Hwnd(), WM_GETICON, ICON_BIG, 0)), given);
    f.Unload();
    // No icon given, and the test program has no icon resource 1: the box still loads.
    frmAbout g;
    ASSERT_TRUE(g.Load());
    EXPECT_EQ(g.ShownIcon(), nullptr);
    g.Unload();
}

// ---- GetKeyValue ----

class KeyValue : public ::testing::Test {
protected:
    const wchar_t* kKey = L"Software\\TavrinTests\\KeyValue";
    HKEY key = nullptr;
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }
    void SetString(const wchar_t* name, const std::wstring& s, bool withZero) {
        DWORD bytes = static_cast<DWORD>((s.size() + (withZero ? 1 : 0)) * sizeof(wchar_t));
        ASSERT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(s.c_str()), bytes),
                  ERROR_SUCCESS);
    }
    void SetDword(const wchar_t* name, DWORD v) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v)),
                  ERROR_SUCCESS);
    }
};

TEST_F(KeyValue, StringsWithAndWithoutTheirTerminatorReadTheSame) {
    SetString(L"With", L"C:\\Program Files\\Tool\\msinfo32.exe", true);
    SetString(L"Without", L"C:\\Program Files\\Tool\\msinfo32.exe", false);
    SetString(L"Empty", L"", true);
    SetString(L"Unicode", L"C:\\\u00dcbung\\\u4e2d\u6587", false);
    std::wstring a = L"old", b, c = L"old", d;
    EXPECT_TRUE(GetKeyValue(HKEY_CURRENT_USER, kKey, L"With", a));
    EXPECT_TRUE(GetKeyValue(HKEY_CURRENT_USER, kKey, L"Without", b));
    EXPECT_EQ(a, L"C:\\Program Files\\Tool\\msinfo32.exe");
    EXPECT_EQ(b, a);
    EXPECT_TRUE(GetKeyValue(HKEY_CURRENT_USER, kKey, L"Empty", c));
    EXPECT_EQ(c, L"");
    EXPECT_TRUE(GetKeyValue(HKEY_CURRENT_USER, kKey, L"Unicode", d));
    EXPECT_EQ(d, L"C:\\\u00dcbung\\\u4e2d\u6587");
}

TEST_F(KeyValue, LongStringIsReadWhole) {
    const std::wstring longText(5000, L'x');
    SetString(L"Long", longText, true);
    std::wstring v;
    EXPECT_TRUE(GetKeyValue(HKEY_CURRENT_USER, kKey, L"Long", v));
    EXPECT_EQ(v, longText);
}

TEST_F(KeyValue, DwordsAsDecimalText) {
    SetDword(L"Small", 0x105);  // bytes 05 01 00 00: zero bytes inside must not drop digits
    SetDword(L"Zero", 0);
    SetDword(L"Max", 0xFFFFFFFF);
    SetDword(L"High", 0x10000000);
    std::wstring v;
    EXPECT_TRUE(GetKeyValue(HKEY_CURRENT_USER, kKey, L"Small", v));
    EXPECT_EQ(v, L"261");
    EXPECT_TRUE(GetKeyValue(HKEY_CURRENT_USER, kKey, L"Zero", v));
    EXPECT_EQ(v, L"0");
    EXPECT_TRUE(GetKeyValue(HKEY_CURRENT_USER, kKey, L"Max", v));
    EXPECT_EQ(v, L"4294967295");
    EXPECT_TRUE(GetKeyValue(HKEY_CURRENT_USER, kKey, L"High", v));
    EXPECT_EQ(v, L"268435456");
}

TEST_F(KeyValue, MissingValueOrKeyAnswersFalseAndEmpty) {
    std::wstring v = L"previous";
    EXPECT_FALSE(GetKeyValue(HKEY_CURRENT_USER, kKey, L"Missing", v));
    EXPECT_EQ(v, L"");
    v = L"previous";
    EXPECT_FALSE(GetKeyValue(HKEY_CURRENT_USER, L"Software\\TavrinTests\\NoSuchKey", L"X", v));
    EXPECT_EQ(v, L"");
}

TEST_F(KeyValue, OtherTypesLeaveTheTextAsItWas) {
    const BYTE bin[] = {1, 2, 3};
    ASSERT_EQ(RegSetValueExW(key, L"Bin", 0, REG_BINARY, bin, sizeof(bin)), ERROR_SUCCESS);
    std::wstring v = L"as passed";
    EXPECT_TRUE(GetKeyValue(HKEY_CURRENT_USER, kKey, L"Bin", v));
    EXPECT_EQ(v, L"as passed");
}

TEST_F(KeyValue, ReadsAMachineKeyWithReadAccessOnly) {
    // A key every user may read but only administrators may change.
    std::wstring v;
    EXPECT_TRUE(GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                            L"CurrentBuildNumber", v));
    EXPECT_FALSE(v.empty());
}

// ---- StartSysInfo ----

// Sets the two machine values for a test and removes them after.
class SysInfo : public ::testing::Test {
protected:
    const wchar_t* kMsInfo = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const wchar_t* kLocation = L"SOFTWARE\\Microsoft\\Shared Tools Location";
    std::vector<modal::MsgBoxCall> boxes;
    std::unique_ptr<modal::ScopedHooks> hooks;
    testenv::TempDir dir;

    void SetUp() override {
        AppTitle = L"Tavrin";
        Clear();
        hooks = std::make_unique<modal::ScopedHooks>(modal::Hooks{.msgBox = [this](const modal::MsgBoxCall& c) {
            boxes.push_back(c);
            return IDOK;
        }});
    }
    void TearDown() override { Clear(); }
    void Clear() {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kMsInfo, L"PATH");
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kLocation, L"MSINFO");
    }
    void Set(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, name, REG_SZ, value.c_str(),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    std::wstring Helper(const std::wstring& name) {
        std::wstring exe = dir / name;
        EXPECT_TRUE(CopyFileW((testenv::BinDir() + L"\\about_exit_helper.exe").c_str(), exe.c_str(), FALSE));
        return exe;
    }
    void ExpectUnavailable() {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, L"System Information Is Unavailable At This Time");
        EXPECT_EQ(boxes[0].title, L"Tavrin");
        EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK));
    }
};

TEST_F(SysInfo, NothingRegisteredSaysUnavailable) {
    frmAbout f;
    f.StartSysInfo();
    ExpectUnavailable();
}

TEST_F(SysInfo, ProgramNamedByPathIsStarted) {
    const std::wstring exe = Helper(L"sys info.exe");  // a blank in the path
    Set(kMsInfo, L"PATH", exe);
    frmAbout f;
    f.StartSysInfo();
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(testenv::PumpUntil([&] { return testenv::Exists(exe + L".ran"); }, 10000));
}

TEST_F(SysInfo, MissingProgramSaysUnavailable) {
    Set(kMsInfo, L"PATH", dir / L"gone.exe");
    frmAbout f;
    f.StartSysInfo();
    ExpectUnavailable();
}

TEST_F(SysInfo, LocationFolderIsUsedWhenItHoldsTheProgram) {
    Set(kLocation, L"MSINFO", dir.Path());
    {
        frmAbout f;
        f.StartSysInfo();  // folder without the program
        ExpectUnavailable();
    }
    boxes.clear();
    const std::wstring exe = Helper(L"MSINFO32.EXE");
    frmAbout f;
    f.StartSysInfo();
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(testenv::PumpUntil([&] { return testenv::Exists(exe + L".ran"); }, 10000));
}

}  // namespace
