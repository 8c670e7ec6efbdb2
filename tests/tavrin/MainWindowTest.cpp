// The main window seen from outside: menus, files on disk, the registry, the real prompt and dialogs.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <richedit.h>

#include "AppInfo.h"
#include "DialogAnswerer.h"
#include "LineEnds.h"
#include "Modal.h"
#include "RichText.h"
#include "TestEnv.h"
#include "Texts.h"
#include "basTavrin.h"
#include "frmMain.h"

namespace {

using testenv::TempDir;

const std::wstring kScratchKey = L"Software\\TavrinTests\\Settings";

std::optional<std::wstring> RegValue(const wchar_t* name) {
    settings::RegistryStore s;
    return s.Read(name);
}

// Answers a file dialog (through the seam) with a path.
std::function<BOOL(OPENFILENAMEW&)> Choose(const std::wstring& path) {
    return [path](OPENFILENAMEW& ofn) {
        wcsncpy_s(ofn.lpstrFile, ofn.nMaxFile, path.c_str(), _TRUNCATE);
        const std::wstring title = path.substr(path.find_last_of(L'\\') + 1);
        if (ofn.lpstrFileTitle) wcsncpy_s(ofn.lpstrFileTitle, ofn.nMaxFileTitle, title.c_str(), _TRUNCATE);
        return TRUE;
    };
}
BOOL Cancel(OPENFILENAMEW&) { return FALSE; }

class MainWindow : public ::testing::Test {
protected:
    frmMain& f = form::Single<frmMain>();

    void SetUp() override {
        ASSERT_TRUE(richtext::LoadLibraryClass());
        settings::KeyPath = kScratchKey;
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrinTests");
        ASSERT_TRUE(f.Load());
    }
    void TearDown() override {
        if (f.IsLoaded()) {
            f.Doc().ExitConfirmed = true;
            f.Unload();
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrinTests");
    }
    void Type(const std::wstring& text) {
        SendMessageW(f.t1(), EM_SETSEL, -1, -1);
        SendMessageW(f.t1(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    RECT ChildRect(HWND h) {
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, f.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

std::wstring MenuText(HMENU m, UINT id) {
    wchar_t buf[128] = {};
    GetMenuStringW(m, id, buf, 128, MF_BYCOMMAND);
    return buf;
}

TEST_F(MainWindow, StartsWithDefaultsAndTheMenuBar) {
    EXPECT_EQ(f.Caption(), L"Untitled - Tavrin");
    EXPECT_EQ(f.Doc().WindowCaption, L"Untitled - Tavrin");
    EXPECT_EQ(AppTitle, L"Tavrin");
    EXPECT_EQ(InitDirSetting, ProgramFolder() + L"\\Code");
    EXPECT_EQ(DefaultCodeFolder, ProgramFolder() + L"\\Code");
    int l, t, w, h;
    f.GetPlacementTwips(l, t, w, h);
    EXPECT_NEAR(l, 1000, 15);
    EXPECT_NEAR(t, 1000, 15);
    EXPECT_NEAR(w, 6500, 15);
    EXPECT_NEAR(h, 6500, 15);
    EXPECT_TRUE(f.tbToolbar() && f.sbStatusBar() && f.t1());

    HMENU bar = GetMenu(f.Hwnd());
    ASSERT_EQ(GetMenuItemCount(bar), 6);
    const wchar_t* titles[] = {L"&File", L"&Edit", L"&View", L"&Format", L"&Tools", L"&Help"};
    for (int i = 0; i < 6; ++i) {
        wchar_t buf[32] = {};
        GetMenuStringW(bar, i, buf, 32, MF_BYPOSITION);
        EXPECT_STREQ(buf, titles[i]);
    }
    EXPECT_EQ(MenuText(bar, frmMain::FileBase + 0), L"&New\tCtrl+N");
    EXPECT_EQ(MenuText(bar, frmMain::FileBase + 1), L"&Open...\tCtrl+O");
    EXPECT_EQ(MenuText(bar, frmMain::FileBase + 3), L"&Save\tCtrl+S");
    EXPECT_EQ(MenuText(bar, frmMain::FileBase + 4), L"Save &As");
    EXPECT_EQ(MenuText(bar, frmMain::FileBase + 6), L"Printer Setup...");
    EXPECT_EQ(MenuText(bar, frmMain::FileBase + 8), L"&Print\tCtrl+P");
    EXPECT_EQ(MenuText(bar, frmMain::FileBase + 12), L"&Exit");
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 10);  // Print Preview, a separator and Send hidden
    EXPECT_EQ(MenuText(bar, frmMain::FileBase + 7), L"");
    EXPECT_EQ(MenuText(bar, frmMain::EditBase + 7), L"&Find...\tCtrl+F");
    EXPECT_TRUE(GetMenuState(bar, frmMain::EditBase + 4, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(bar, frmMain::ViewBase + 1, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(MenuText(bar, frmMain::FormatBase + 2), L" F&orecolor");
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 5)), 3);
    // Print answered by the seams (no printer, or a cancelled dialog); an unknown index does nothing.
    modal::ScopedHooks hooks({.msgBox = [](const modal::MsgBoxCall&) { return IDOK; },
                              .printDlg = [](PRINTDLGW&) { return FALSE; }});
    f.mnufile_Click(8);
    f.mnufile_Click(99);
}

TEST_F(MainWindow, OpensAndSavesBackTheSameBytesUnderANonAsciiName) {
    TempDir dir;
    const std::wstring path = dir / L"h\u00e9llo w\u00f6rld \u0416.cpp";
    const std::string bytes = "int main()\r\n{\r\n\treturn 0;\r\n}\r\n";
    ASSERT_TRUE(testenv::WriteBytes(path, bytes));
    modal::ScopedHooks hooks({.openFile = Choose(path)});
    f.mnufile_Click(1);
    EXPECT_EQ(f.Text(), L"int main()\r\n{\r\n\treturn 0;\r\n}\r\n");
    EXPECT_EQ(f.Caption(), L"h\u00e9llo w\u00f6rld \u0416.cpp - Tavrin");
    EXPECT_FALSE(f.Doc().IsModified());
    // A change made with the change notifications off still counts, and taking it back again
    // leaves the document unmodified.
    const LRESULT mask = SendMessageW(f.t1(), EM_GETEVENTMASK, 0, 0);
    SendMessageW(f.t1(), EM_SETEVENTMASK, 0, 0);
    SendMessageW(f.t1(), EM_SETSEL, 0, 0);
    SendMessageW(f.t1(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x"));
    SendMessageW(f.t1(), EM_SETEVENTMASK, 0, mask);
    EXPECT_TRUE(f.Doc().IsModified());
    SendMessageW(f.t1(), EM_SETSEL, 0, 1);
    SendMessageW(f.t1(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
    EXPECT_FALSE(f.Doc().IsModified());
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    f.mnufile_Click(3);
    EXPECT_EQ(testenv::ReadBytes(path), bytes);
}

TEST_F(MainWindow, SaveAsWritesTextAndOneLineEnd) {
    TempDir dir;
    Type(L"abc");
    EXPECT_TRUE(f.Doc().IsModified());
    modal::ScopedHooks hooks({.saveFile = Choose(dir / L"x.cpp")});
    f.mnufile_Click(3);  // untitled: Save shows the Save dialog
    EXPECT_EQ(testenv::ReadBytes(dir / L"x.cpp"), std::string("abc\r\n"));
    EXPECT_EQ(f.Caption(), L"x.cpp - Tavrin");
    EXPECT_FALSE(f.Doc().IsModified());
}

TEST_F(MainWindow, CancelledDialogsChangeNothing) {
    Type(L"text");
    modal::ScopedHooks hooks({.msgBox = [](const modal::MsgBoxCall&) { return IDNO; },
                              .openFile = Cancel, .saveFile = Cancel});
    f.mnufile_Click(1);
    f.mnufile_Click(4);
    EXPECT_EQ(f.Text(), L"text");
    EXPECT_EQ(f.Caption(), L"Untitled - Tavrin");
    EXPECT_TRUE(f.Doc().IsModified());
}

TEST_F(MainWindow, BigFileOpensWholeAndSavesBackByteIdentical) {
    const size_t target = 1024 * 1024;
    std::string bytes;
    for (int i = 0; bytes.size() < target; ++i)
        bytes += "    int value" + std::to_string(i) + " = compute(" + std::to_string(i * 7) + ");  // note\r\n";
    TempDir dir;
    const std::wstring path = dir / L"big.cpp";
    ASSERT_TRUE(testenv::WriteBytes(path, bytes));
    modal::ScopedHooks hooks({.openFile = Choose(path)});
    f.mnufile_Click(1);
    EXPECT_EQ(f.Text().size(), bytes.size());
    EXPECT_FALSE(f.Doc().IsModified());
    f.mnufile_Click(3);
    EXPECT_TRUE(testenv::ReadBytes(path) == bytes);
}




TEST_F(MainWindow, BinaryBytesSurviveOpenAndSave) {
    std::string bytes;
    for (int round = 0; round < 3; ++round) {
        for (int c = 0; c < 256; ++c)
            if (c != '\r' && c != '\n') bytes += static_cast<char>(c);
        bytes += "\r\n";
    }
    TempDir dir;
    const std::wstring path = dir / L"bin.dat";
    ASSERT_TRUE(testenv::WriteBytes(path, bytes));
    std::vector<modal::MsgBoxCall> shown;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall& c) { shown.push_back(c); return IDYES; },
                              .openFile = Choose(path)});
    f.mnufile_Click(1);
    // NUL bytes: a warning on opening, a question before saving.
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, path + L"\n\n" + texts::BinaryWarning);
    EXPECT_FALSE(f.Doc().IsModified());
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    f.mnufile_Click(3);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text.rfind(texts::WillChange, 0), 0u);
    EXPECT_NE(shown[1].text.find(texts::ChangeNul), std::wstring::npos);
    EXPECT_TRUE(testenv::ReadBytes(path) == bytes);
}

TEST_F(MainWindow, StreamedTextKeepsItsLineEnds) {
    // Chunks end wherever the control asks; a CR LF split across two must not add a line.
    std::wstring text;
    for (int i = 0; i < 8000; ++i) text += std::wstring(static_cast<size_t>(i % 37), L'x') + L"\r\n";
    f.SetEditorText(text);
    EXPECT_TRUE(f.Text() == text);
    EXPECT_EQ(SendMessageW(f.t1(), EM_GETLINECOUNT, 0, 0), 8001);
}

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
                              .openFile = Choose(dir / L"k.cpp")});
    EXPECT_TRUE(PressCtrl(f.t1(), 'O'));
    EXPECT_EQ(f.Caption(), L"k.cpp - Tavrin");
    Type(L"more");
    EXPECT_TRUE(PressCtrl(f.t1(), 'S'));
    EXPECT_EQ(testenv::ReadBytes(dir / L"k.cpp"), "k\r\nmore\r\n");
    EXPECT_TRUE(PressCtrl(f.t1(), 'N'));
    EXPECT_EQ(asked, 1);  // New asks whenever there is text
    EXPECT_EQ(f.Text(), L"");
    EXPECT_EQ(f.Caption(), L"Untitled - Tavrin");
}

TEST_F(MainWindow, LongLinesScrollSidewaysWithoutWrapping) {
    std::wstring line(400, L'x');
    f.SetEditorText(line + L"\r\nshort\r\n");
    EXPECT_EQ(SendMessageW(f.t1(), EM_GETLINECOUNT, 0, 0), 3);
    const LONG style = GetWindowLongW(f.t1(), GWL_STYLE);
    EXPECT_TRUE(style & WS_HSCROLL);  // shown because the long line is not wrapped
}

TEST_F(MainWindow, RealPromptCancelKeepsTheWindowAndStillWritesSettings) {
    Type(L"unsaved");
    {
        DialogAnswerer answer({DialogAnswerer::Press(IDCANCEL)});
        EXPECT_FALSE(f.Unload());
        ASSERT_EQ(answer.Seen().size(), 1u);
        EXPECT_EQ(answer.Seen()[0].title, L"Tavrin");
        EXPECT_EQ(answer.Seen()[0].text, L"Would you like to save changes?");
    }
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_EQ(f.Text(), L"unsaved");
    EXPECT_EQ(RegValue(L"MainWidth").value_or(L""), L"6495");  // 433 px at 96 dpi
    {
        DialogAnswerer answer({DialogAnswerer::Press(IDNO)});
        EXPECT_TRUE(f.Unload());
    }
    EXPECT_FALSE(f.IsLoaded());
}

TEST_F(MainWindow, ExitWithCancelKeepsRunning) {
    Type(L"unsaved");
    int asked = 0;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall&) { ++asked; return IDCANCEL; }});
    f.mnufile_Click(12);
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_FALSE(f.Doc().ExitConfirmed);
    modal::TestHooks().msgBox = [&](const modal::MsgBoxCall&) { ++asked; return IDNO; };
    f.mnufile_Click(12);
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(asked, 2);  // the closing sequence asks nothing more
}

TEST_F(MainWindow, RealOpenAndSaveDialogs) {
    TempDir dir;
    const std::wstring src = dir / L"src.txt";
    ASSERT_TRUE(testenv::WriteBytes(src, "from disk\r\n"));
    {
        DialogAnswerer answer({DialogAnswerer::TypeFileName(src)});
        f.mnufile_Click(1);
    }
    EXPECT_EQ(f.Text(), L"from disk\r\n");
    EXPECT_EQ(f.Caption(), L"src.txt - Tavrin");
    Type(L"more");
    const std::wstring out = dir / L"out.txt";
    {
        DialogAnswerer answer({DialogAnswerer::TypeFileName(out)});
        f.mnufile_Click(4);
    }
    EXPECT_EQ(testenv::ReadBytes(out), "from disk\r\nmore\r\n");
    EXPECT_EQ(f.Caption(), L"out.txt - Tavrin");
}

TEST_F(MainWindow, SettingsRoundTripThroughTheRegistry) {
    // Values a window at 96 dpi holds exactly (15 twips a pixel).
    f.SetPlacementTwips(1500, 1200, 9000, 6990);
    InitDirSetting = L"C:\\Proj\u00e9";
    SaveSettings(f.CurrentSettings());
    EXPECT_EQ(RegValue(L"InitDir").value_or(L""), L"C:\\Proj\u00e9");
    EXPECT_EQ(RegValue(L"DefaultFileType").value_or(L""), L"0");
    EXPECT_EQ(RegValue(L"MainLeft").value_or(L""), L"1500");
    EXPECT_EQ(RegValue(L"MainTop").value_or(L""), L"1200");
    EXPECT_EQ(RegValue(L"MainWidth").value_or(L""), L"9000");
    EXPECT_EQ(RegValue(L"MainHeight").value_or(L""), L"6990");

    settings::RegistryStore store;
    store.Write(L"MainLeft", L"not a number");
    f.SetPlacementTwips(3000, 3000, 3000, 3000);
    f.UseSettings(LoadSettings());
    int l, t, w, h;
    f.GetPlacementTwips(l, t, w, h);
    EXPECT_NEAR(l, 1000, 15);  // the default
    EXPECT_EQ(t, 1200);
    EXPECT_EQ(w, 9000);
    EXPECT_EQ(h, 6990);
    EXPECT_EQ(InitDirSetting, L"C:\\Proj\u00e9");
}

TEST_F(MainWindow, PlacementOffEveryMonitorComesBackOnScreen) {
    f.SetPlacementTwips(500000, 400000, 6500, 6500);
    RECT r;
    GetWindowRect(f.Hwnd(), &r);
    EXPECT_NE(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr);
    RECT inter, screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(IntersectRect(&inter, &r, &screen) && EqualRect(&inter, &r));
}

TEST_F(MainWindow, MaximisedWindowStoresItsNormalPlacement) {
    f.SetPlacementTwips(1500, 1500, 7500, 6000);
    ShowWindow(f.Hwnd(), SW_SHOWNOACTIVATE);
    ShowWindow(f.Hwnd(), SW_MAXIMIZE);
    testenv::PumpUntil([&] { return IsZoomed(f.Hwnd()) != FALSE; }, 2000);
    SaveSettings(f.CurrentSettings());
    EXPECT_EQ(RegValue(L"MainLeft").value_or(L""), L"1500");
    EXPECT_EQ(RegValue(L"MainWidth").value_or(L""), L"7500");
    EXPECT_EQ(RegValue(L"MainHeight").value_or(L""), L"6000");
    ShowWindow(f.Hwnd(), SW_MINIMIZE);
    testenv::PumpUntil([&] { return IsIconic(f.Hwnd()) != FALSE; }, 2000);
    SaveSettings(f.CurrentSettings());
    EXPECT_EQ(RegValue(L"MainTop").value_or(L""), L"1500");
    EXPECT_EQ(RegValue(L"MainWidth").value_or(L""), L"7500");
    ShowWindow(f.Hwnd(), SW_RESTORE);
}

TEST_F(MainWindow, EditingAreaFillsBetweenToolbarAndStatusBarOnResize) {
    for (SIZE s : {SIZE{9000, 7000}, SIZE{4000, 3000}, SIZE{12000, 9000}}) {
        f.SetPlacementTwips(1000, 1000, s.cx, s.cy);
        RECT client, edit = ChildRect(f.t1()), tb = ChildRect(f.tbToolbar()), sb = ChildRect(f.sbStatusBar());
        GetClientRect(f.Hwnd(), &client);
        EXPECT_EQ(edit.left, 0);
        EXPECT_EQ(edit.right, client.right);
        EXPECT_EQ(edit.top, tb.bottom + f.Px(30));
        EXPECT_EQ(edit.bottom, sb.top);
        EXPECT_EQ(sb.bottom, client.bottom);
    }
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
    int asked = 0;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall&) { ++asked; return IDCANCEL; }});
    SendMessageW(f.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({dir / L"first.h", dir / L"second.h"})), 0);
    testenv::PumpUntil([&] { return asked == 1; }, 2000);
    EXPECT_EQ(f.Text(), L"unsaved");
    modal::TestHooks().msgBox = [&](const modal::MsgBoxCall&) { ++asked; return IDNO; };
    SendMessageW(f.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({dir / L"first.h", dir / L"second.h"})), 0);
    testenv::PumpUntil([&] { return f.Caption() == L"first.h - Tavrin"; }, 2000);
    EXPECT_EQ(f.Text(), L"first\r\n");
    EXPECT_EQ(f.Doc().DocumentPath, dir / L"first.h");
    EXPECT_EQ(f.Doc().WindowCaption, L"first.h - Tavrin");
}

TEST_F(MainWindow, NewEmptiesTheDocument) {
    TempDir dir;
    ASSERT_TRUE(testenv::WriteBytes(dir / L"a.cpp", "a\r\n"));
    modal::ScopedHooks hooks({.msgBox = [](const modal::MsgBoxCall&) { return IDNO; }, .openFile = Choose(dir / L"a.cpp")});
    f.mnufile_Click(1);
    f.mnufile_Click(0);
    EXPECT_EQ(f.Text(), L"");
    EXPECT_EQ(f.Caption(), L"Untitled - Tavrin");
    EXPECT_FALSE(f.Doc().IsModified());
}

TEST(TavrinProgram, OpensTheFileGivenOnTheCommandLine) {
    TempDir dir;
    const std::wstring path = dir / L"cmd line \u00e9.cpp";
    ASSERT_TRUE(testenv::WriteBytes(path, "x\r\n"));
    std::wstring cmd = L"\"" + testenv::BinDir() + L"\\" +
#ifdef _WIN64
                       L"Tavrin64.exe"
#else
                       L"Tavrin.exe"
#endif
                       + L"\" \"" + path + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    raii::Handle proc(pi.hProcess), thread(pi.hThread);
    HWND w = nullptr;
    testenv::PumpUntil([&] { return (w = FindWindowW(L"TavrinMain", L"cmd line \u00e9.cpp - Tavrin")) != nullptr; }, 15000);
    ASSERT_NE(w, nullptr);
    PostMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(proc.get(), 10000), WAIT_OBJECT_0);
}

// The main window of process `pid`, once it shows `caption`.
HWND ProgramWindow(DWORD pid, const wchar_t* caption, DWORD timeoutMs) {
    HWND found = nullptr;
    testenv::PumpUntil([&] {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"TavrinMain", caption)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == pid) return (found = w) != nullptr;
        }
        return false;
    }, timeoutMs);
    return found;
}

// Libraries under the names of those the editor uses, placed beside a copy of the program, are
// never loaded: the program starts with the system's editing control and no planted start-up code runs.
TEST(TavrinProgram, LibrariesPlantedBesideItAreNotLoaded) {
    TempDir dir;
    const std::wstring exe = dir / (L"Tavrin" + std::wstring(sizeof(void*) == 8 ? L"64" : L"") + L".exe");
    ASSERT_TRUE(CopyFileW((testenv::BinDir() + exe.substr(exe.rfind(L'\\'))).c_str(), exe.c_str(), FALSE));
    const wchar_t* planted[] = {L"Msftedit.dll", L"riched20.dll", L"WININET.dll", L"WINSPOOL.DRV"};
    for (const wchar_t* name : planted)
        ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\planted.dll").c_str(), (dir / name).c_str(), FALSE));
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.Path().c_str(), &si, &pi));
    raii::Handle proc(pi.hProcess), thread(pi.hThread);
    HWND w = ProgramWindow(pi.dwProcessId, L"Untitled - Tavrin", 15000);
    EXPECT_NE(w, nullptr);
    for (const wchar_t* name : planted) EXPECT_FALSE(testenv::Exists(dir / name + L".loaded")) << name;
    if (w) PostMessageW(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(proc.get(), 10000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the program did not end";
        TerminateProcess(proc.get(), 1);
        WaitForSingleObject(proc.get(), 5000);
    }
}

// Unquoted, a name with two blanks in a row opens as typed.
TEST(TavrinProgram, OpensAnUnquotedNameWithItsBlanksAsTyped) {
    TempDir dir;
    const std::wstring path = dir / L"two  blanks.txt";
    ASSERT_TRUE(testenv::WriteBytes(path, "x\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"two blanks.txt", "wrong\r\n"));
    std::wstring cmd = L"\"" + testenv::BinDir() + L"\\Tavrin" + std::wstring(sizeof(void*) == 8 ? L"64" : L"") +
                       L".exe\" " + path;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    raii::Handle proc(pi.hProcess), thread(pi.hThread);
    HWND w = ProgramWindow(pi.dwProcessId, L"two  blanks.txt - Tavrin", 15000);
    EXPECT_NE(w, nullptr);
    if (w) PostMessageW(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(proc.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(proc.get(), 1);
        WaitForSingleObject(proc.get(), 5000);
    }
}

}  // namespace
