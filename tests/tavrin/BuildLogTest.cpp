// The output pane's diagnostics: which lines are places to go, F4 and Shift+F4 round the list, and
// the file each names.
#include <gtest/gtest.h>

#include <tuple>

#include "BuildLog.h"

namespace {

TEST(BuildLog, StepsRoundTheDiagnosticsAndResolvesTheirFiles) {
    BuildLog log;
    log.Clear(L"C:\\work\\app");
    const wchar_t* lines[] = {
        L"Building C:\\work\\app\\main.cpp",
        L"main.cpp:3:5: error: 'x' was not declared in this scope",
        L"    3 |     x = 1;",
        L"C:\\work\\lib\\util.h(12): warning C4101: 'y': unreferenced local variable",
        L"src/other.cpp:7:1: warning: no return statement",
        L"Build finished: exit code 1 (0.4 s)",
    };
    size_t places = 0;
    for (size_t i = 0; i < std::size(lines); ++i) places += log.Add(lines[i], i);
    ASSERT_EQ(places, 3u);
    ASSERT_EQ(log.Count(), 3u);
    EXPECT_EQ(std::tuple(log.PaneLineOf(0), log.PaneLineOf(2), log.OnPaneLine(3), log.OnPaneLine(2)),
              std::tuple(size_t{1}, size_t{4}, std::optional<size_t>(1), std::optional<size_t>()));
    EXPECT_EQ(log.PathOf(log.At(0)) + L"|" + log.PathOf(log.At(1)) + L"|" + log.PathOf(log.At(2)),
              L"C:\\work\\app\\main.cpp|C:\\work\\lib\\util.h|C:\\work\\app\\src\\other.cpp");
    // Forward from nothing starts at the first, backward at the last; both go round.
    std::vector<size_t> walked;
    for (int i = 0; i < 4; ++i) walked.push_back(*log.Step(true));
    EXPECT_EQ(walked, (std::vector<size_t>{0, 1, 2, 0}));
    EXPECT_EQ(log.Step(false), std::optional<size_t>(2));
    log.SetCurrent(1);  // a double-click on a line
    EXPECT_EQ(log.Step(true), std::optional<size_t>(2));
    log.Clear(L"C:\\work\\app");
    for (size_t i = 0; i < std::size(lines); ++i) log.Add(lines[i], i);
    EXPECT_EQ(log.Step(false), std::optional<size_t>(2));
    log.Clear(L"D:\\");
    EXPECT_FALSE(log.Step(true) || log.Step(false));
    Diagnostic d;
    d.file = L"\\\\server\\share\\x.cpp";
    EXPECT_EQ(log.PathOf(d), L"\\\\server\\share\\x.cpp");
    d.file = L"../b/./a.cpp";  // left for the system to resolve
    EXPECT_EQ(log.PathOf(d), L"D:\\..\\b\\.\\a.cpp");
    // The columns count as the compiler named in the output does.
    EXPECT_EQ(log.Columns(), ColumnKind::Characters);
    log.Add(L"Using C:\\llvm\\bin\\clang++.exe", 0);
    EXPECT_EQ(log.Columns(), ColumnKind::Utf8Bytes);
}

}  // namespace
