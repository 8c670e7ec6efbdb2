// Tools > Build in the main window, with a stand-in compiler first on the PATH: the output pane as
// the lines arrive, F4 and Shift+F4 through the errors, another file opened for its error, Stop,
// Run, and a second Build refused while one runs.
#include "MainWindowFixture.h"

#include <tlhelp32.h>

#include <vector>

#include "TestEnv.h"
#include "Texts.h"

namespace {

using testenv::TempDir;

class BuildPane : public testenv::MainWindowTest {
protected:
    TempDir dir, tools;
    std::wstring oldPath;
    std::vector<std::wstring> said;

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
        for (const wchar_t* v : {L"FAKE_EXIT", L"FAKE_HANG"}) SetEnvironmentVariableW(v, nullptr);
        MainWindowTest::TearDown();
    }
    modal::Hooks Answering(int answer = IDNO) {
        modal::Hooks h;
        h.msgBox = [this, answer](const modal::MsgBoxCall& c) {
            said.push_back(c.text);
            return answer;
        };
        return h;
    }
    std::vector<std::wstring> Pane() {
        std::vector<std::wstring> lines;
        HWND pane = f.outputPane();
        const LRESULT n = SendMessageW(pane, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            std::wstring t(static_cast<size_t>(SendMessageW(pane, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            t.resize(static_cast<size_t>(SendMessageW(pane, LB_GETTEXT, i, reinterpret_cast<LPARAM>(t.data()))));
            lines.push_back(t);
        }
        return lines;
    }
    bool Ended() {
        const auto lines = Pane();
        return !lines.empty() && (lines.back().rfind(texts::BuildFinished, 0) == 0 || lines.back() == texts::BuildStopped);
    }
    std::pair<int64_t, int64_t> Caret() {
        int64_t line = 0, column = 0;
        editarea::CaretLineColumn(f.t1(), line, column);
        return {line, column};
    }
};

TEST_F(BuildPane, OutputArrivesAndF4WalksTheErrors) {
    const std::wstring source = dir / L"prog one.cpp";
    ASSERT_TRUE(testenv::WriteBytes(source, "int main() {\r\n  x = 1\r\n  return 0;\r\n}\r\n"));
    ASSERT_TRUE(testenv::WriteBytes(dir / L"other.h", "// other\r\n// line 2\r\n"));
    Open(source);
    Type(L"// edited\r\n");
    modal::ScopedHooks hooks(Answering());
    f.mnutools_Click(5);
    // Saved first, then built; the lines come while the window goes on working.
    EXPECT_EQ(testenv::ReadBytes(source), "int main() {\r\n  x = 1\r\n  return 0;\r\n}\r\n// edited\r\n");
    EXPECT_TRUE(f.OutputShown());
    bool sawPartial = false;
    ASSERT_TRUE(testenv::PumpUntil([&] {
        if (!Ended() && Pane().size() >= 3) sawPartial = true;
        return Ended();
    }, 30000));
    EXPECT_TRUE(sawPartial);
    const auto lines = Pane();
    EXPECT_EQ(lines.back().rfind(L"Build finished: exit code 2 (", 0), 0u) << lines.back();
    EXPECT_TRUE(said.empty());
    // A second build while none runs is fine; Run without a good build has nothing to run.
    f.mnutools_Click(6);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], texts::NothingToRun);

    // F4: the GCC, Microsoft and Borland lines in turn, each at its line and column.
    const std::pair<int64_t, int64_t> places[] = {{2, 3}, {3, 1}, {1, 1}};
    for (const auto& p : places) {
        f.mnutools_Click(8);
        EXPECT_EQ(Caret(), p);
        EXPECT_EQ(f.Doc().DocumentPath, source);
    }
    // The next one is in another file: a modified document is asked about first (No: opened anyway).
    Type(L"x");
    said.clear();
    f.mnutools_Click(8);
    EXPECT_EQ(said.size(), 1u);
    EXPECT_EQ(f.Doc().DocumentPath, dir / L"other.h");
    EXPECT_EQ(Caret(), (std::pair<int64_t, int64_t>{2, 1}));
    // Shift+F4 goes back; round past the start to the last.
    f.mnutools_Click(9);
    EXPECT_EQ(f.Doc().DocumentPath, source);
    EXPECT_EQ(Caret(), (std::pair<int64_t, int64_t>{1, 1}));
    // The pane's line of the error is selected.
    const LRESULT sel = SendMessageW(f.outputPane(), LB_GETCURSEL, 0, 0);
    ASSERT_GE(sel, 0);
    EXPECT_EQ(Pane()[static_cast<size_t>(sel)].rfind(L"Error E2451 ", 0), 0u);
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
    modal::ScopedHooks hooks(Answering());
    f.mnutools_Click(5);
    ASSERT_TRUE(testenv::PumpUntil([&] { return Ended(); }, 30000));
    EXPECT_EQ(Pane().back().rfind(L"Build finished: exit code 0 (", 0), 0u) << Pane().back();
    f.mnutools_Click(6);
    EXPECT_TRUE(testenv::PumpUntil([&] { return testenv::Exists(dir / L"ran.txt"); }, 15000));
    EndConsolesOf(GetCurrentProcessId());
    EXPECT_TRUE(said.empty());

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
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], texts::BuildAlreadyRunning);
    raii::Handle hung(OpenProcess(SYNCHRONIZE, FALSE, child));
    f.mnutools_Click(7);
    ASSERT_TRUE(testenv::PumpUntil([&] { return Ended(); }, 15000));
    EXPECT_EQ(Pane().back(), texts::BuildStopped);
    EXPECT_TRUE(GetMenuState(menu, frmMain::ToolsBase + 7, MF_BYCOMMAND) & MF_GRAYED);
    if (hung) {
        EXPECT_EQ(WaitForSingleObject(hung.get(), 5000), WAIT_OBJECT_0);  // nothing left behind
    }
}

}  // namespace
