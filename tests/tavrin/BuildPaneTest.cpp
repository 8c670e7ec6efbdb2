// Tools > Build in the main window, with a stand-in compiler first on the PATH: the output pane as
// the lines arrive, F4, Shift+F4 and a double-click through the errors (at the character meant after
// a tab, the open file named by another path, a missing file), another file opened for its error,
// Stop, Run, and a second Build refused while one runs.
#include "MainWindowFixture.h"

#include <tlhelp32.h>

#include <vector>

#include "Clipboard.h"
#include "Scintilla.h"
#include "TestEnv.h"
#include "Texts.h"

namespace {

using testenv::TempDir;

class BuildPane : public testenv::MainWindowTest {
protected:
    TempDir tools;
    std::wstring oldPath;
    testenv::ScratchAppData appData;
    modal::ScopedHooks hooks{Recording(IDNO)};

    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\build_test_child.exe").c_str(), (tools / L"g++.exe").c_str(), FALSE));
        wchar_t path[32768] = {};
        GetEnvironmentVariableW(L"PATH", path, 32768);
        oldPath = path;
        SetEnvironmentVariableW(L"PATH", (tools.Path() + L";" + oldPath).c_str());
        SetEnvironmentVariableW(L"FAKE_EXIT", L"2");
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"PATH", oldPath.c_str());
        for (const wchar_t* v : {L"FAKE_EXIT", L"FAKE_HANG", L"FAKE_AS"}) SetEnvironmentVariableW(v, nullptr);
        MainWindowTest::TearDown();
    }
    std::vector<std::wstring> Pane() { return f.Pane().Lines(); }
    bool Ended() {
        const auto lines = Pane();
        return !lines.empty() && (lines.back().rfind(texts::BuildFinished, 0) == 0 || lines.back() == texts::BuildStopped);
    }
    // Builds the open document and waits for the end.
    void Build() {
        f.mnutools_Click(5);
        ASSERT_TRUE(testenv::PumpUntil([&] { return Ended(); }, 30000));
    }
};

TEST_F(BuildPane, OutputArrivesF4WalksTheErrorsAndThePaneIsAReadOnlyErrorList) {
    const std::wstring source = dir / L"prog one.cpp";
    ASSERT_TRUE(testenv::WriteBytes(source, "int main() {\r\n\tx = 1\r\n  return 0;\r\n}\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"other.h", "// other\r\n// line 2\r\n"));
    Open(source);
    Type(L"// edited\r\n");
    ASSERT_TRUE(testenv::PumpUntil([&] { return !appData.Files().empty(); }, 10000));  // the typing kept
    f.mnutools_Click(5);
    // Saved first (the kept copy forgotten), then built; the lines come while the window goes on working.
    EXPECT_EQ(testenv::ReadBytes(source), "int main() {\r\n\tx = 1\r\n  return 0;\r\n}\r\n// edited\r\n");
    EXPECT_TRUE(testenv::PumpUntil([&] { return appData.Files().empty(); }, 5000));
    EXPECT_TRUE(f.OutputShown());
    bool sawPartial = false;
    ASSERT_TRUE(testenv::PumpUntil([&] {
        if (!Ended() && Pane().size() >= 3) sawPartial = true;
        return Ended();
    }, 30000));
    EXPECT_TRUE(sawPartial);
    const auto lines = Pane();
    EXPECT_EQ(lines.back().rfind(L"Build finished: exit code 2 (", 0), 0u) << lines.back();
    EXPECT_TRUE(boxes.empty());
    // Run without a good build has nothing to run.
    f.mnutools_Click(6);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, texts::NothingToRun);

    // F4: the GCC, Microsoft and Borland lines in turn, each at its line and column (GCC's column 9
    // is the x after the tab).
    const std::pair<int64_t, int64_t> places[] = {{2, 2}, {3, 1}, {1, 1}};
    for (const auto& p : places) {
        f.mnutools_Click(8);
        EXPECT_EQ(Caret(), p);
        EXPECT_EQ(f.Doc().DocumentPath, source);
    }
    // The next one is in another file: a modified document is asked about first (No: opened anyway).
    Type(L"x");
    boxes.clear();
    f.mnutools_Click(8);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(f.Doc().DocumentPath, dir / L"other.h");
    EXPECT_EQ(Caret(), (std::pair<int64_t, int64_t>{2, 1}));
    // Shift+F4 goes back; round past the start to the last.
    f.mnutools_Click(9);
    EXPECT_EQ(f.Doc().DocumentPath, source);
    EXPECT_EQ(Caret(), (std::pair<int64_t, int64_t>{1, 1}));
    // The pane's line of the error is marked.
    ASSERT_TRUE(f.Pane().MarkedLine());
    EXPECT_EQ(Pane()[*f.Pane().MarkedLine()].rfind(L"Error E2451 ", 0), 0u);

    // The pane is the editing component, read-only, with the error-list lexer in the editor's face;
    // its text is copied with Edit > Copy while it has the focus; a double-click on an error goes there.
    boxes.clear();
    HWND pane = f.outputPane();
    wchar_t cls[64] = {};
    char lexer[32] = {}, face[64] = {};
    GetClassNameW(pane, cls, 64);
    SendMessageW(pane, SCI_GETLEXERLANGUAGE, 0, reinterpret_cast<LPARAM>(lexer));
    SendMessageW(pane, SCI_STYLEGETFONT, STYLE_DEFAULT, reinterpret_cast<LPARAM>(face));
    EXPECT_EQ(cls + (L"|" + std::wstring(lexer, lexer + strlen(lexer)) + L"|" + std::wstring(face, face + strlen(face))),
              L"Scintilla|errorlist|" + editarea::FaceName(f.t1()));
    EXPECT_TRUE(SendMessageW(pane, SCI_GETREADONLY, 0, 0));
    // Typing into the pane changes nothing.
    const std::vector<std::wstring> before = Pane();
    SetFocus(pane);
    SendMessageW(pane, WM_CHAR, L'z', 0);
    EXPECT_EQ(Pane(), before);
    f.mnuedit_Click(5);  // Select All, in the pane
    f.mnuedit_Click(3);  // Copy
    const std::wstring copied = clipboard::GetText(f.Hwnd());
    EXPECT_NE(copied.find(L"\r\nError E2451 "), std::wstring::npos) << copied;
    EXPECT_EQ(copied.find(L"Building "), 0u) << copied;
    // A double-click on the Microsoft line: the caret goes to line 3.
    size_t ms = 0;
    while (ms < before.size() && before[ms].find(L"(3,1): error") == std::wstring::npos) ++ms;
    ASSERT_LT(ms, before.size());
    const LRESULT pos = SendMessageW(pane, SCI_POSITIONFROMLINE, ms, 0);
    const LPARAM at = MAKELPARAM(SendMessageW(pane, SCI_POINTXFROMPOSITION, 0, pos) + 20,
                                 SendMessageW(pane, SCI_POINTYFROMPOSITION, 0, pos) + 2);
    for (int i = 0; i < 2; ++i) {
        SendMessageW(pane, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(pane, WM_LBUTTONUP, 0, at);
    }
    testenv::PumpUntil([] { return false; }, 100);
    EXPECT_EQ(Caret(), (std::pair<int64_t, int64_t>{3, 1}));
    EXPECT_EQ(f.Pane().MarkedLine(), std::optional<size_t>(ms));
    EXPECT_TRUE(boxes.empty());
}

// A diagnostic naming the open file by another path goes there and keeps the edits; one naming a
// file that is not there says so in the status bar and changes nothing.
TEST_F(BuildPane, F4OnTheOpenFileByAnotherPathKeepsTheEditsAndOnAMissingFileOnlySaysSo) {
    const std::wstring folder = dir / L"probe";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring source = folder + L"\\doc.cpp";
    ASSERT_TRUE(testenv::WriteBytes(source, "int main() {\r\n\tx = 1\r\n  return 0;\r\n}\r\n"));
    Open(source);
    for (const wchar_t* as : {L"../probe/./doc.cpp", L"missing.cpp"}) {
        SetEnvironmentVariableW(L"FAKE_AS", as);
        Build();
        Type(L"// fix\r\n");
        const std::wstring text = f.Text();
        f.mnutools_Click(8);
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(f.Doc().DocumentPath, source);
        EXPECT_EQ(f.Text(), text);
        EXPECT_TRUE(f.Doc().IsModified());
        if (std::wstring(as) == L"missing.cpp") {
            EXPECT_EQ(Panel(0), texts::PlaceFileMissing + folder + L"\\missing.cpp");
        } else {
            EXPECT_EQ(Caret(), (std::pair<int64_t, int64_t>{2, 2}));
        }
    }
}

// The cmd.exe windows Run left waiting for a key, ended.
void EndConsolesOf(DWORD parent) {
    raii::Handle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W e{sizeof(e)};
    for (BOOL ok = Process32FirstW(snap.get(), &e); ok; ok = Process32NextW(snap.get(), &e))
        if (e.th32ParentProcessID == parent)
            if (raii::Handle p{OpenProcess(PROCESS_TERMINATE, FALSE, e.th32ProcessID)}) TerminateProcess(p.get(), 0);
}

TEST_F(BuildPane, RunStartsWhatAGoodBuildMadeAndStopEndsAHungBuild) {
    SetEnvironmentVariableW(L"FAKE_EXIT", L"0");
    const std::wstring source = dir / L"ok.cpp";
    ASSERT_TRUE(testenv::WriteBytes(source, "int main() { return 0; }\r\n"));
    Open(source);
    Build();
    EXPECT_EQ(Pane().back().rfind(L"Build finished: exit code 0 (", 0), 0u) << Pane().back();
    f.mnutools_Click(6);
    EXPECT_TRUE(testenv::PumpUntil([&] { return testenv::Exists(dir / L"ran.txt"); }, 15000));
    EndConsolesOf(GetCurrentProcessId());
    EXPECT_TRUE(boxes.empty());

    SetEnvironmentVariableW(L"FAKE_HANG", L"1");
    f.mnutools_Click(5);
    DWORD child = 0;
    ASSERT_TRUE(testenv::PumpUntil([&] {
        for (const std::wstring& l : Pane())
            if (l.rfind(L"child ", 0) == 0) child = static_cast<DWORD>(std::stoul(l.substr(6)));
        return child != 0;
    }, 15000));
    HMENU menu = GetMenu(f.Hwnd());
    EXPECT_FALSE(GetMenuState(menu, frmMain::ToolsBase + 7, MF_BYCOMMAND) & MF_GRAYED);
    f.mnutools_Click(5);  // refused while one runs
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, texts::BuildAlreadyRunning);
    raii::Handle hung(OpenProcess(SYNCHRONIZE, FALSE, child));
    f.mnutools_Click(7);
    ASSERT_TRUE(testenv::PumpUntil([&] { return Ended(); }, 15000));
    EXPECT_EQ(Pane().back(), texts::BuildStopped);
    EXPECT_TRUE(GetMenuState(menu, frmMain::ToolsBase + 7, MF_BYCOMMAND) & MF_GRAYED);
    if (hung) {
        EXPECT_EQ(WaitForSingleObject(hung.get(), 5000), WAIT_OBJECT_0);  // nothing left behind
    }
}

// A long line brings the horizontal scroll bar; the latest line still shows whole above it.
TEST_F(BuildPane, TheLatestLineShowsWholeWhenALongLineBringsTheScrollBar) {
    f.mnuview_Click(mainmenu::ViewOutput);
    HWND pane = f.outputPane();
    ASSERT_TRUE(f.OutputShown());
    std::vector<std::wstring> lines(40, L"short");
    lines.back() = std::wstring(600, L'w');
    f.Pane().Append(lines);
    testenv::PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(GetWindowLongPtrW(pane, GWL_STYLE) & WS_HSCROLL);
    const LRESULT first = SendMessageW(pane, SCI_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GE(first + SendMessageW(pane, SCI_LINESONSCREEN, 0, 0), SendMessageW(pane, SCI_GETLINECOUNT, 0, 0));
}

}  // namespace
