// GShell seen from its caller: the result, the error record and what reaches the shell.
#include <gtest/gtest.h>

#include "ErrRecord.h"
#include "TestEnv.h"
#include "GShell.h"

namespace {

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
