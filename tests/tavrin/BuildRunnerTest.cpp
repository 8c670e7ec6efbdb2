// Build runner under Wine: a program that cannot start, a runner that goes away with its build, and
// awkward names reaching the shipped batch file (as Build and as Tools > Compile start it). The
// pane's tests see the lines, the end and Stop.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BuildCommand.h"
#include "BuildOutput.h"
#include "BuildRunner.h"
#include "CompileCommand.h"
#include "Raii.h"
#include "TestEnv.h"
#include "Texts.h"

using testenv::TempDir;

namespace {

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

TEST(BuildRunner, ARunnerThatGoesAwayLeavesNoProcessBehind) {
    raii::Handle grandChild;
    {
        Sink sink;
        ASSERT_TRUE(sink.Start(ChildCommand(L"hang")));
        grandChild = GrandChild(sink);
        ASSERT_TRUE(grandChild);
    }
    EXPECT_TRUE(Ended(grandChild));
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
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log = std::wstring(temp) + L"Tavrin-compile.log";
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
        ASSERT_NE(cmdExe.Wait(30000), -1) << r.folder;
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

// The end of a build that is over but not yet taken must not end the build started after it.
TEST(BuildRunner, TheEndOfAnOlderBuildIsDroppedOnceTheNextStarts) {
    Sink sink;
    ASSERT_TRUE(sink.Start(ChildCommand(L"flood 100")));
    // Not pumped: the first build's lines and end wait in the queue while the second starts.
    for (int i = 0; i < 500 && sink.runner.Running(); ++i) Sleep(20);
    ASSERT_FALSE(sink.runner.Running());
    ASSERT_TRUE(sink.Start(ChildCommand(L"hang")));
    raii::Handle grandChild = GrandChild(sink);
    ASSERT_TRUE(grandChild);
    EXPECT_FALSE(sink.finished);
    EXPECT_EQ(sink.lines.size(), 1u);  // "child <pid>" alone: none of the first build's lines
    sink.runner.Stop();
    ASSERT_TRUE(sink.WaitFinished());
    EXPECT_TRUE(sink.result.stopped);
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
