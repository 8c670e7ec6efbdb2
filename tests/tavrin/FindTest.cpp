// The search rule of the Find dialog and its text copy, without a window.
#include <gtest/gtest.h>

#include <string>

#include "LineEnds.h"
#include "TextFind.h"

namespace {

using textfind::FindFrom;

TEST(FindFrom, Table) {
    // Counted in string units: UTF-16 units on Windows, as the control counts them.
    const int64_t emoji = static_cast<int64_t>(std::wstring(L"\U0001F600").size());
    struct Row {
        const wchar_t *text, *what;
        int64_t start, want;
    } rows[] = {
        {L"xaaaay", L"aa", 1, 2},  {L"xaaaay", L"aa", 3, 3},  // overlapping
        {L"xaaaay", L"aa", 4, 4},  {L"xaaaay", L"aa", 5, 0},  // none after the last: no wrap-around
        {L"xaaaay", L"y", 6, 6},   {L"xaaaay", L"xaaaayz", 1, 0},
        {L"ABC abc", L"abc", 1, 5}, {L"ABC", L"abc", 1, 0},  // case-sensitive
        {L"caf\u00e9 cafe\u0301", L"cafe", 1, 6},           // no folding of composed forms
        {L"\U0001F600x\U0001F600y", L"\U0001F600y", 1, emoji + 2},
        {L"abc", L"", 1, 1}, {L"abc", L"", 3, 3}, {L"abc", L"", 4, 0},  // empty search text walks the text
        {L"", L"", 1, 0},    {L"", L"a", 1, 0},                         // an empty text never matches
        {L"abc", L"a", 0, 1}, {L"abc", L"a", INT64_MAX, 0},
    };
    for (const Row& r : rows) EXPECT_EQ(FindFrom(r.text, r.what, r.start), r.want) << r.text << " / " << r.what << " from " << r.start;
}

TEST(FindFrom, PositionsPastSixteenBits) {
    std::wstring t(300000, L'.');
    const int64_t at[] = {32767, 32768, 65535, 65536, 65537, 299999};
    for (int64_t p : at) t[static_cast<size_t>(p - 1)] = L'X';
    int64_t p = 0;
    for (int64_t want : at) EXPECT_EQ(p = FindFrom(t, L"X", p + 1), want);
    EXPECT_EQ(FindFrom(t, L"X", p + 1), 0);
}

TEST(SearchCopy, RefreshedOnlyWhenTheStampMoves) {
    textfind::SearchCopy c;
    int control = 0, other = 0;
    const textfind::Stamp s1{&control, 1, 3};
    EXPECT_FALSE(c.Current(s1));
    c.Refresh(s1, L"abc");
    EXPECT_TRUE(c.Current(s1));
    EXPECT_FALSE(c.Current({&control, 2, 3}));  // a change notification, same length
    EXPECT_FALSE(c.Current({&control, 1, 4}));  // a change without notification shows in the length
    EXPECT_FALSE(c.Current({&other, 1, 3}));    // another control
    c.Clear();
    EXPECT_FALSE(c.Current(s1));
}

}  // namespace
