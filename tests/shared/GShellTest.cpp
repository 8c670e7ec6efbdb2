// GShell seen from its caller: the result, the error record and what reaches the shell.
#include <gtest/gtest.h>

#include <vector>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "Modal.h"
#include "TestEnv.h"
#include "GShell.h"

namespace {

// Answers the shell call with a fixed code and keeps what it was asked.
struct FakeShell {
    int64_t answer = 42;
    std::vector<gshell::Call> calls;
    FakeShell() {
        gshell::TestHook() = [this](const gshell::Call& c) {
            calls.push_back(c);
            return answer;
        };
    }
    ~FakeShell() { gshell::TestHook() = nullptr; }
};

// A failure is recorded, not shown and not thrown; success leaves the record clear.
TEST(GShell, FailuresAreRecordedWithoutInterruptingTheCallerAndSuccessLeavesTheRecord) {
    FakeShell shell;
    int boxes = 0;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall&) { ++boxes; return IDOK; }});
    for (int64_t answer : {0LL, 31LL, 32LL, 33LL, -1LL}) {
        Err().Clear();
        shell.answer = answer;
        bool ok = false;
        EXPECT_NO_THROW(ok = GShell(L"C:\\docs\\readme.txt", 1, L"", L"", L"open", nullptr));
        EXPECT_EQ(ok, answer > 32 || answer < 0) << answer;
        EXPECT_EQ(Err().Number, ok ? 0 : ShellFailureFor(static_cast<int32_t>(answer)).number) << answer;
        EXPECT_EQ(Err().Source, ok ? L"" : L"shared_win_tests.GShell") << answer;
    }
    EXPECT_EQ(boxes, 0);
}

TEST(GShell, RealShellFailsForAMissingFileAndStartsAProgramWithParametersAndDirectory) {
    testenv::TempDir dir;
    Err().Clear();
    EXPECT_FALSE(GShell(dir / L"no such file.txt", 1, L"", L"", L"open", nullptr));
    EXPECT_EQ(Err().Number, 53);
    EXPECT_EQ(Err().Description, L"File not found");
    // A program that ends at once.
    const std::wstring exe = dir / L"helper.exe";
    ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\about_exit_helper.exe").c_str(), exe.c_str(), FALSE));
    Err().Clear();
    EXPECT_TRUE(GShell(exe, 1, L"x", dir.Path(), L"open", nullptr));
    EXPECT_EQ(Err().Number, 0);
    EXPECT_TRUE(testenv::PumpUntil([&] { return testenv::Exists(exe + L".ran"); }, 10000));
}

}  // namespace
