// The shell-open wrapper's rules without the shell: failure numbers and the show command.
#include <gtest/gtest.h>

#include "SharedTexts.h"
#include "mShellExecute.h"

namespace {

TEST(ShellShowCommand, ExeAnywhereInTheNameHidesOnlyWithParametersOrDirectory) {
    // Parameters or a directory given: the requested show command, but 0 for anything containing ".EXE";
    // neither: always a normal window.
    EXPECT_EQ(ShellArgsFor(L"notes.txt", 3, L"-x", L"").showCommand, 3);
    EXPECT_EQ(ShellArgsFor(L"notes.exe.txt", 3, L"-x", L"").showCommand, 0);
    EXPECT_EQ(ShellArgsFor(L"C:\\Tools\\Run.Exe", 1, L"", L"C:\\").showCommand, 0);
    EXPECT_EQ(ShellArgsFor(L"C:\\EXEcutables\\a.bat", 5, L"a", L"").showCommand, 5);  // no dot before EXE
    EXPECT_EQ(ShellArgsFor(L"C:\\Tools\\Run.Exe", 10, L"", L"").showCommand, 1);
    EXPECT_EQ(ShellArgsFor(L"x.txt", 2, L"", L"D:\\work").showCommand, 2);
}

}  // namespace
