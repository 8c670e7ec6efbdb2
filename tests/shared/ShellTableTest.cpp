// The shell-open wrapper's rules without the shell: result test, failure table, show command.
#include <gtest/gtest.h>

#include "SharedTexts.h"
#include "mShellExecute.h"

namespace {

TEST(ShellResult, NegativeOrAbove32IsSuccess) {
    for (int32_t r : {33, -1, INT32_MIN}) EXPECT_TRUE(ShellResultIsSuccess(r)) << r;
    for (int32_t r : {32, 0, 2}) EXPECT_FALSE(ShellResultIsSuccess(r)) << r;
}

TEST(ShellFailureTable, EveryCodeHasItsNumberAndMessage) {
    EXPECT_EQ(kShellErrorBase, -2147220456);
    struct Row {
        int32_t code, number;
        const wchar_t* message;
    };
    const Row rows[] = {
        {0, 7, L"Out of memory"},
        {2, 53, L"File not found"},
        {3, 76, L"Path not found"},
        {5, 75, L"Path/file access error"},
        {8, 7, L"Out of memory"},
        {11, static_cast<int32_t>(0x80040423), L"The executable file is invalid or corrupt"},
        {26, 75, L"A sharing violation occurred."},
        {27, static_cast<int32_t>(0x80040433), L"This file type does not have a valid file association."},
        {28, 286, L"The file could not be opened due to time out.  Please try again in a moment."},
        {29, 285, L"The file could not be opened because the DDE transaction failed.  Please try again in a moment."},
        {30, 285,
         L"The file could not be opened because the target application is busy.  Please try again in a moment."},
        {31, static_cast<int32_t>(0x80040437), L"No application is associated with this file type."},
        {32, 48, L"The specified dynamic-link library was not found."},
    };
    for (const Row& r : rows) {
        ShellFailure f = ShellFailureFor(r.code);
        EXPECT_EQ(f.number, r.number) << "code " << r.code;
        EXPECT_STREQ(f.message, r.message) << "code " << r.code;
    }
    // The rest of 1..25 share the object-error number and the general message.
    const wchar_t* general = L"An error occurred occurred whilst trying to open or print the selected file.";
    for (int32_t code : {1, 4, 6, 7, 9, 10, 12, 25}) {
        ShellFailure f = ShellFailureFor(code);
        EXPECT_EQ(f.number, kShellErrorBase + code) << "code " << code;
        EXPECT_STREQ(f.message, general) << "code " << code;
    }
    EXPECT_EQ(ShellFailureFor(1).number, static_cast<int32_t>(0x80040419));
}

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
