// The search rule of the Find dialog and its text copy, without a window.
#include <gtest/gtest.h>

#include <string>

#include "TextFind.h"

namespace {

using textfind::FindFrom;

TEST(FindFrom, FirstNextOverlappingAndNoWrapAround) {
    const std::wstring t = L"xaaaay";
    EXPECT_EQ(FindFrom(t, L"aa", 1), 2);
    EXPECT_EQ(FindFrom(t, L"aa", 1), 2);  // Find again: the same first match
    EXPECT_EQ(FindFrom(t, L"aa", 3), 3);  // overlapping matches
    EXPECT_EQ(FindFrom(t, L"aa", 4), 4);
    EXPECT_EQ(FindFrom(t, L"aa", 5), 0);  // none after the last, no wrap to the start
    EXPECT_EQ(FindFrom(t, L"aa", 6), 0);
    EXPECT_EQ(FindFrom(t, L"xaaaay", 1), 1);
    EXPECT_EQ(FindFrom(t, L"y", 6), 6);
    EXPECT_EQ(FindFrom(t, L"xaaaayz", 1), 0);  // longer than the text
    EXPECT_EQ(FindFrom(L"aaaa", L"aa", 1), 1);
    EXPECT_EQ(FindFrom(L"aaaa", L"aa", 2), 2);
    EXPECT_EQ(FindFrom(L"aaaa", L"aa", 3), 3);
    EXPECT_EQ(FindFrom(L"aaaa", L"aa", 4), 0);
}

TEST(FindFrom, ExactCaseSensitiveCharacterCodes) {
    EXPECT_EQ(FindFrom(L"ABC abc", L"abc", 1), 5);
    EXPECT_EQ(FindFrom(L"ABC", L"abc", 1), 0);
    EXPECT_EQ(FindFrom(L"stra\u00dfe STRASSE", L"strasse", 1), 0);
    EXPECT_EQ(FindFrom(L"caf\u00e9 cafe\u0301", L"cafe", 1), 6);  // no folding of composed forms
    // Counted in string units: UTF-16 units on Windows, as the control counts them.
    const int64_t emoji = static_cast<int64_t>(std::wstring(L"\U0001F600").size());
    EXPECT_EQ(FindFrom(L"\U0001F600x\U0001F600y", L"\U0001F600y", 1), emoji + 2);
    const std::wstring withNul(L"a\0b", 3);
    EXPECT_EQ(FindFrom(withNul, std::wstring_view(L"\0b", 2), 1), 2);
}

TEST(FindFrom, EmptySearchTextAndEmptyText) {
    const std::wstring t = L"abc";
    for (int64_t start = 1; start <= 3; ++start) EXPECT_EQ(FindFrom(t, L"", start), start);
    EXPECT_EQ(FindFrom(t, L"", 4), 0);
    EXPECT_EQ(FindFrom(L"", L"", 1), 0);
    EXPECT_EQ(FindFrom(L"", L"a", 1), 0);
    EXPECT_EQ(FindFrom(t, L"a", 0), 1);   // a start before the text counts from its first character
    EXPECT_EQ(FindFrom(t, L"a", -5), 1);
    EXPECT_EQ(FindFrom(t, L"a", INT64_MAX), 0);
}

TEST(FindFrom, PositionsPastSixteenBits) {
    // Matches at 32767, 32768, 65535, 65536 and far beyond: positions are never cut to 16 bits.
    std::wstring t(300000, L'.');
    const int64_t at[] = {32767, 32768, 65535, 65536, 65537, 299999};
    for (int64_t p : at) t[static_cast<size_t>(p - 1)] = L'X';
    int64_t p = FindFrom(t, L"X", 1);
    for (int64_t want : at) {
        EXPECT_EQ(p, want);
        p = FindFrom(t, L"X", p + 1);
    }
    EXPECT_EQ(p, 0);
    EXPECT_EQ(FindFrom(t, L"X.", 65538), 299999);
}

TEST(ControlText, CrLfCountsAsOneCharacterAsInTheControl) {
    EXPECT_EQ(textfind::ToControlText(L"a\r\nb\r\n"), L"a\rb\r");
    EXPECT_EQ(textfind::ToControlText(L"a\rb"), L"a\rb");
    EXPECT_EQ(textfind::ToControlText(L"\r\r\n\n"), L"\r\r\n");
    EXPECT_EQ(textfind::ToControlText(L""), L"");
    // "cd" after two line ends: offset 4 in the control, 6 in the CR LF text.
    const std::wstring crlf = L"ab\r\nx\r\ncd";
    EXPECT_EQ(FindFrom(textfind::ToControlText(crlf), L"cd", 1), 6);
    EXPECT_EQ(FindFrom(crlf, L"cd", 1), 8);
}

TEST(SearchCopy, RefreshedOnlyWhenTheStampMoves) {
    textfind::SearchCopy c;
    int control = 0, other = 0;
    const textfind::Stamp s1{&control, 1, 3};
    EXPECT_FALSE(c.Current(s1));
    c.Refresh(s1, L"abc");
    EXPECT_TRUE(c.Current(s1));
    EXPECT_EQ(c.Text(), L"abc");
    EXPECT_FALSE(c.Current({&control, 2, 3}));  // a change notification, same length
    EXPECT_FALSE(c.Current({&control, 1, 4}));  // a change without notification shows in the length
    EXPECT_FALSE(c.Current({&other, 1, 3}));    // another control
    c.Clear();
    EXPECT_FALSE(c.Current(s1));
    EXPECT_EQ(c.Refreshes(), 1u);
}

}  // namespace
