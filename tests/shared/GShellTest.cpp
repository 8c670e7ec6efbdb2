// GShell seen from its caller: the result, the error record and what reaches the shell.
#include <gtest/gtest.h>

#include <vector>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "Modal.h"
#include "TestEnv.h"
#include "mShellExecute.h"

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

TEST(GShell, EveryFailureCodeIsRecordedWithoutInterruptingTheCaller) {
    FakeShell shell;
    int boxes = 0;
    modal::ScopedHooks hooks({.msgBox = [&](const modal::MsgBoxCall&) { ++boxes; return IDOK; }});
    const std::wstring source = ExeName() + L".GShell";
    EXPECT_EQ(source, L"shared_win_tests.GShell");
    for (int32_t code = 0; code <= 32; ++code) {
        Err().Clear();
        shell.answer = code;
        bool ok = true;
        EXPECT_NO_THROW(ok = GShell(L"C:\\docs\\readme.txt", 1, L"", L"", L"open", nullptr));
        EXPECT_FALSE(ok) << code;
        const ShellFailure f = ShellFailureFor(code);
        EXPECT_EQ(Err().Number, f.number) << code;
        EXPECT_EQ(Err().Source, source) << code;
        EXPECT_EQ(Err().Description, f.message) << code;
    }
    EXPECT_EQ(boxes, 0);  // nothing is shown
}

TEST(GShell, SuccessLeavesTheErrorRecordAlone) {
    FakeShell shell;
    for (int64_t answer : {33LL, 42LL, -1LL, 5000LL}) {
        Err().Clear();
        shell.answer = answer;
        EXPECT_TRUE(GShell(L"https://tavrin.example.org/", 10, L"", L"", L"open", nullptr)) << answer;
        EXPECT_EQ(Err().Number, 0);
        EXPECT_TRUE(Err().Source.empty());
    }
}

TEST(GShell, TheShellGetsTheShowCommandOfTheRules) {
    FakeShell shell;
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    GShell(L"C:\\Tools\\Run.Exe", 5, L"/q", L"", L"open", owner);
    GShell(L"notes.exe.txt", 5, L"", L"", L"print", nullptr);
    GShell(L"https://tavrin.example.org/", 10, L"", L"", L"open", nullptr);
    GShell(L"C:\\docs\\a.txt", 3, L"", L"C:\\docs", L"edit", nullptr);
    ASSERT_EQ(shell.calls.size(), 4u);
    EXPECT_EQ(shell.calls[0].showCommand, 0);
    EXPECT_EQ(shell.calls[0].parameters, L"/q");
    EXPECT_EQ(shell.calls[0].owner, owner);
    EXPECT_EQ(shell.calls[1].showCommand, 1);
    EXPECT_EQ(shell.calls[1].operation, L"print");
    EXPECT_EQ(shell.calls[2].showCommand, 1);
    EXPECT_EQ(shell.calls[2].file, L"https://tavrin.example.org/");
    EXPECT_EQ(shell.calls[3].showCommand, 3);
    EXPECT_EQ(shell.calls[3].directory, L"C:\\docs");
}

TEST(GShell, RealShellFailsForAMissingFile) {
    testenv::TempDir dir;
    Err().Clear();
    EXPECT_FALSE(GShell(dir / L"no such file.txt", 1, L"", L"", L"open", nullptr));
    EXPECT_EQ(Err().Number, 53);
    EXPECT_EQ(Err().Description, L"File not found");
    EXPECT_EQ(Err().Source, ExeName() + L".GShell");
}

TEST(GShell, RealShellStartsAProgramWithParametersAndDirectory) {
    // A program that ends at once, started through the shell with parameters and a directory.
    testenv::TempDir dir;
    const std::wstring exe = dir / L"helper.exe";
    ASSERT_TRUE(CopyFileW((testenv::BinDir() + L"\\about_exit_helper.exe").c_str(), exe.c_str(), FALSE));
    Err().Clear();
    EXPECT_TRUE(GShell(exe, 1, L"x", dir.Path(), L"open", nullptr));
    EXPECT_EQ(Err().Number, 0);
    EXPECT_TRUE(testenv::PumpUntil([&] { return testenv::Exists(exe + L".ran"); }, 10000));
}

}  // namespace
