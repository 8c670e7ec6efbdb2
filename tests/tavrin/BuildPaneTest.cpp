// Tools > Build in the main window, with a stand-in compiler first on the PATH: the output pane as
// the lines arrive, F4, Shift+F4 and a double-click through the errors (at the character meant after
// a tab, the open file named by another path, a missing file), another file opened for its error,
// Stop, Run, and a second Build refused while one runs. The build runner under Wine: a program that
// cannot start, the end of an older build, heavy output, and awkward names reaching the shipped batch
// file (as Build and as Tools > Compile start it).
#include "MainWindowFixture.h"

#include <tlhelp32.h>

#include <algorithm>

#include "BuildCommand.h"
#include "BuildOutput.h"
#include "BuildRunner.h"
#include "Clipboard.h"
#include "CompileCommand.h"
#include "Scintilla.h"
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
// file that is not there says so in the status bar, readable at the window's first size, and
// changes nothing.
TEST_F(BuildPane, F4OnTheOpenFileByAnotherPathKeepsTheEditsAndOnAMissingFileOnlySaysSo) {
    const std::wstring folder = dir / L"probe";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring source = folder + L"\\doc.cpp";
    ASSERT_TRUE(testenv::WriteBytes(source, "int main() {\r\n\tx = 1\r\n  return 0;\r\n}\r\n"));
    Open(source);
    for (const wchar_t* as : {L"missing.cpp", L"../probe/./doc.cpp"}) {
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
            EXPECT_TRUE(PanelShowsAll(0));
        } else {
            EXPECT_EQ(Caret(), (std::pair<int64_t, int64_t>{2, 2}));
            EXPECT_EQ(Panel(0), texts::StatusPanel);  // the note about the other file is gone
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

// A runner and what it hands to the test's thread.
struct Sink {
    std::vector<std::wstring> lines;
    bool finished = false;
    BuildResult result;
    int batches = 0;
    BuildRunner runner{[this](std::vector<std::wstring>& batch) { ++batches, lines.insert(lines.end(), batch.begin(), batch.end()); },
                       [this](const BuildResult& r) { result = r, finished = true; }};
    bool Start(const BuildCommand& c) {
        const BuildStart started = runner.Start(c);
        EXPECT_TRUE(started) << started.failure;
        return bool(started);
    }
    bool WaitFinished(DWORD ms = 20000) { return testenv::PumpUntil([&] { return finished; }, ms); }
};

std::wstring Child() { return testenv::BinDir() + L"\\build_test_child.exe"; }

BuildCommand ChildCommand(const std::wstring& args) {
    BuildCommand s;
    s.application = Child();
    s.commandLine = L"\"" + Child() + L"\" " + args;
    s.environment = EnvironmentBlock(ProcessEnvironment(), {});
    return s;
}

TEST(BuildRunner, AProgramThatCannotStartIsReportedByName) {
    Sink sink;
    BuildCommand s = ChildCommand(L"sleep");
    s.application = testenv::BinDir() + L"\\no such program.exe";
    const std::wstring error = sink.runner.Start(s).failure;
    EXPECT_FALSE(error.empty());
    EXPECT_NE(error.find(s.application), std::wstring::npos) << error;
    EXPECT_EQ(error.find(L"%"), std::wstring::npos) << error;
    EXPECT_FALSE(sink.runner.Running());
}

// The pid the "hang" child prints of its own child, opened to watch it end.
raii::Handle GrandChild(Sink& sink) {
    if (!testenv::PumpUntil([&] { return !sink.lines.empty(); }, 10000)) return {};
    const std::wstring& l = sink.lines[0];
    if (l.rfind(L"child ", 0) != 0) return {};
    return raii::Handle(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, std::stoul(l.substr(6))));
}

// True when the process has ended; else ends it, so that it holds no pipe of the test run open.
bool Ended(const raii::Handle& process) {
    if (WaitForSingleObject(process.get(), 5000) == WAIT_OBJECT_0) return true;
    TerminateProcess(process.get(), 1);
    return false;
}

// The shipped batch file copied into a folder whose name, and started with a source whose name, hold
// characters that cmd reads as commands: as Tools > Compile starts it (the name in place of
// hello.cpp) and as Build starts it (the full path, also to a batch file of the test's own that
// shows its argument). Nothing in a name runs, and the lines and the log name both exactly.
TEST(CompileBatch, NamesWithCommandCharactersAreOnlyNames) {
    struct Row {
        const wchar_t* folder;
        const wchar_t* source;
        bool percent;  // Wine's cmd expands %VAR% again and drops a lone %: injection checked only there
    } rows[] = {
        {L"p & mkdir INJECTED & rem", L"hello.cpp", false},
        {L"a^b (x) !y! & mkdir INJECTED)", L"a & b ^ c.cpp", false},
        {L"plain", L"s & mkdir INJECTED & rem.cpp", false},
        {L"f & mkdir INJECTED ^ (1)", L"a&b^c(e)!f! & mkdir INJECTED.cpp", false},
        {L"ends in 2", L"x (2).cpp", false},  // a digit before a redirection is not a handle number
        {L"f & g (2) ^ !h!", L"(1) !n! gr\u00FC\u00DF dich & mkdir INJECTED.cpp", false},
        {L"50% (x) %off% & mkdir INJECTED", L"x%PATH%y.cpp", true},
        {L"plain", L"all & ^ %PATH% (x) \u00E9 !y! & mkdir INJECTED.cpp", true},
    };
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    wchar_t temp[MAX_PATH];
    const std::wstring log = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"Tavrin-compile.log";
    SetEnvironmentVariableW(L"TAVRIN_NOPAUSE", L"1");
    for (const Row& r : rows) {
        TempDir dir;
        const std::wstring folder = dir / r.folder, code = folder + L"\\code", doc = code + L"\\" + r.source;
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) && CreateDirectoryW(code.c_str(), nullptr)) << r.folder;
        ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\code\\compile.bat").c_str(), (code + L"\\compile.bat").c_str(), FALSE));
        ASSERT_TRUE(testenv::WriteBytes(doc, "int main() { return 0; }\r\n"));
        const std::wstring source(r.source), checked = r.percent && wine ? L"" : source;
        DeleteFileW(log.c_str());
        const CompileCommand cmd = MakeCompileCommand(folder, testenv::SystemFolder());
        testenv::Process cmdExe(cmd.application, L"/c \"\"" + cmd.batchPath + L"\" \"" + source + L"\"\"", dir.Path().c_str());
        ASSERT_NE(cmdExe.Wait(30000), -1) << r.folder << ", not started: error " << cmdExe.StartError();
        const std::string got = testenv::ReadBytes(log);
        EXPECT_NE(got.find("result="), std::string::npos) << got;
        if (!checked.empty() && std::all_of(checked.begin(), checked.end(), [](wchar_t c) { return c > 0 && c < 128; })) {
            EXPECT_EQ(got.substr(0, got.find("result=")),
                      "source=" + std::string(checked.begin(), checked.end()) + "\r\nfolder=" + std::string(code.begin(), code.end()) + "\r\n")
                << got;
        }
        const std::wstring echo = dir / L"echo.bat";
        ASSERT_TRUE(testenv::WriteBytes(echo, "@echo off\r\nfor %%S in (\"%~1\") do echo arg=%%~S\r\n"));
        for (const std::wstring& batch : {echo, testenv::BinDir() + L"\\code\\compile.bat"}) {
            Sink sink;
            ASSERT_TRUE(sink.Start(MakeBuildCommand(batch, testenv::SystemFolder(), doc, ProcessEnvironment())));
            ASSERT_TRUE(sink.WaitFinished()) << batch;
            const std::wstring expected = batch == echo ? L"arg=" + doc : L"Compiling " + doc + L" in " + code;
            if (!checked.empty()) {
                EXPECT_NE(std::find(sink.lines.begin(), sink.lines.end(), expected), sink.lines.end())
                    << testing::PrintToString(expected) << "\n" << testing::PrintToString(sink.lines);
            }
        }
        for (const std::wstring& where : {dir.Path(), folder, code})
            EXPECT_FALSE(testenv::Exists(where + L"\\INJECTED")) << testing::PrintToString(source);
    }
}

// The end of a build that is over but not yet taken must not end the build started after it; a
// runner that goes away leaves no process behind.
TEST(BuildRunner, TheEndOfAnOlderBuildIsDroppedOnceTheNextStartsAndARunnerGoneLeavesNoProcess) {
    raii::Handle grandChild;
    {
        Sink sink;
        ASSERT_TRUE(sink.Start(ChildCommand(L"flood 100")));
        // Not pumped: the first build's lines and end wait in the queue while the second starts.
        for (int i = 0; i < 500 && sink.runner.Running(); ++i) Sleep(20);
        ASSERT_FALSE(sink.runner.Running());
        ASSERT_TRUE(sink.Start(ChildCommand(L"hang")));
        grandChild = GrandChild(sink);
        ASSERT_TRUE(grandChild);
        EXPECT_FALSE(sink.finished);
        EXPECT_EQ(sink.lines.size(), 1u);  // "child <pid>" alone: none of the first build's lines
    }
    EXPECT_TRUE(Ended(grandChild));
}

// Heavy output comes in a few batches (one at a time, at most every 50 ms, each bounded); a line without an end
// is cut and marked; Stop ends an endless flood.
TEST(BuildRunner, HeavyOutputComesInBatchesAndAnEndlessLineIsCut) {
    {
        Sink sink;
        const ULONGLONG start = GetTickCount64();
        ASSERT_TRUE(sink.Start(ChildCommand(L"flood 50000")));
        ASSERT_TRUE(sink.WaitFinished(60000));
        const ULONGLONG ms = GetTickCount64() - start;
        EXPECT_EQ(sink.lines.size(), 50000u);
        // One batch at most every 50 ms, and no more than needed for the lines left at the end.
        EXPECT_LE(sink.batches, static_cast<int>(ms / BuildRunner::kBatchMs + 50000 / BuildRunner::kBatchLines) + 2)
            << ms << " ms";
    }
    {
        Sink sink;
        ASSERT_TRUE(sink.Start(ChildCommand(L"long")));
        ASSERT_TRUE(sink.WaitFinished(60000));
        EXPECT_EQ(sink.lines, (std::vector<std::wstring>{std::wstring(LineSplitter::kMaxLineBytes, L'y') + texts::BuildLineCut,
                                                         L"after"}));
    }
    Sink sink;
    ASSERT_TRUE(sink.Start(ChildCommand(L"flood 0")));
    ASSERT_TRUE(testenv::PumpUntil([&] { return sink.lines.size() > 1000; }, 10000));
    sink.runner.Stop();
    ASSERT_TRUE(sink.WaitFinished(5000));
    EXPECT_TRUE(sink.result.stopped);
}

// The installed batch file's exit code when it finds no compiler or no source (the compiler's own
// after a failed compile, whatever the lines after it do to ERRORLEVEL: the pane's tests).
TEST(BuildRunner, TheBatchFileEndsNonZeroWithoutACompilerOrASource) {
    TempDir dir;
    const std::wstring source = dir / L"prog.cpp";
    ASSERT_TRUE(testenv::WriteBytes(source, "int main() { return 0; }\r\n"));
    const std::pair<std::wstring, unsigned long> rows[] = {{source, 3}, {dir / L"gone.cpp", 2}};
    for (const auto& [path, code] : rows) {
        Sink sink;
        BuildCommand c = MakeBuildCommand(testenv::BinDir() + L"\\code\\compile.bat", testenv::SystemFolder(), path, ProcessEnvironment());
        c.environment = EnvironmentBlock(ProcessEnvironment(), {{L"PATH", L""}, {L"TAVRIN_NOPAUSE", L"1"}, {kBuildSourceVariable, path}});
        ASSERT_TRUE(sink.Start(c));
        ASSERT_TRUE(sink.WaitFinished());
        EXPECT_EQ(sink.result.exitCode, code) << testing::PrintToString(sink.lines);
    }
}

}  // namespace
