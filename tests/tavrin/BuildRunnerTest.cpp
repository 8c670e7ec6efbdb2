// Build runner under Wine: a program that cannot start, a runner that goes away with its build, and
// awkward file names reaching the batch file. The pane's tests see the lines, the end and Stop.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BuildCommand.h"
#include "BuildOutput.h"
#include "BuildRunner.h"
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

std::wstring SystemFolder() {
    wchar_t sys[MAX_PATH];
    GetSystemDirectoryW(sys, MAX_PATH);
    return sys;
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

// The document's path goes through the interpreter to the batch file, and through the shipped
// batch file's own handling, as written: nothing in it runs or expands.
TEST(BuildRunner, AwkwardFileNamesReachTheBatchFileIntact) {
    struct Row {
        const wchar_t* name;
        bool percent;  // Wine's cmd expands %VAR% again in what it has expanded: injection checked only there
    } rows[] = {
        {L"a & b ^ c.cpp", false},
        {L"(1) !n! & mkdir INJECTED.cpp", false},
        {L"gr\u00FC\u00DF dich.cpp", false},
        {L"x%PATH%y.cpp", true},
        {L"all & ^ %PATH% (x) \u00E9 !y! & mkdir INJECTED.cpp", true},
    };
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    for (const Row& r : rows) {
        TempDir dir;
        const std::wstring folder = dir / L"f & g (2) ^ !h!";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        const std::wstring doc = folder + L"\\" + r.name;
        ASSERT_TRUE(testenv::WriteBytes(doc, "int main() { return 0; }\r\n"));
        // A batch file of the test's own shows its argument as it arrives.
        const std::wstring echo = dir / L"echo.bat";
        ASSERT_TRUE(testenv::WriteBytes(echo, "@echo off\r\nfor %%S in (\"%~1\") do echo arg=%%~S\r\n"));
        for (const std::wstring& batch : {echo, testenv::BinDir() + L"\\code\\compile.bat"}) {
            Sink sink;
            ASSERT_TRUE(sink.Start(MakeBuildCommand(batch, SystemFolder(), doc, ProcessEnvironment())));
            ASSERT_TRUE(sink.WaitFinished()) << batch;
            const std::wstring expected = batch == echo ? L"arg=" + doc : L"Compiling " + doc + L" in " + folder;
            if (!(r.percent && wine)) {
                EXPECT_NE(std::find(sink.lines.begin(), sink.lines.end(), expected), sink.lines.end())
                    << testing::PrintToString(expected) << "\n" << testing::PrintToString(sink.lines);
            }
            for (const std::wstring& where : {dir.Path(), folder})
                EXPECT_FALSE(testenv::Exists(where + L"\\INJECTED")) << testing::PrintToString(std::wstring(r.name));
        }
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

// The installed batch file's exit code: its own when it finds no compiler or no source, the
// compiler's when a compile fails, whatever the lines after the compile do to ERRORLEVEL.
TEST(BuildRunner, TheBatchFileEndsWithTheCompilersCodeOrANonZeroOfItsOwn) {
    TempDir dir, tools;
    ASSERT_TRUE(CopyFileW(Child().c_str(), (tools / L"g++.exe").c_str(), FALSE));
    const std::wstring source = dir / L"prog.cpp";
    ASSERT_TRUE(testenv::WriteBytes(source, "int main() { return 0; }\r\n"));
    struct Row {
        std::wstring path, source, fakeExit;
        unsigned long code;
    } rows[] = {
        {L"", source, L"0", 3},                 // no compiler
        {tools.Path(), dir / L"gone.cpp", L"0", 2},  // no source
        {tools.Path(), source, L"5", 5},        // the compiler failed
        {tools.Path(), source, L"0", 0},
    };
    for (const Row& r : rows) {
        Sink sink;
        BuildCommand c = MakeBuildCommand(testenv::BinDir() + L"\\code\\compile.bat", SystemFolder(), r.source,
                                          ProcessEnvironment());
        c.environment = EnvironmentBlock(ProcessEnvironment(), {{L"PATH", r.path}, {L"FAKE_EXIT", r.fakeExit},
                                                                {L"TAVRIN_NOPAUSE", L"1"}, {kBuildSourceVariable, r.source}});
        ASSERT_TRUE(sink.Start(c));
        ASSERT_TRUE(sink.WaitFinished());
        EXPECT_EQ(sink.result.exitCode, r.code) << testing::PrintToString(sink.lines);
    }
}

}  // namespace
