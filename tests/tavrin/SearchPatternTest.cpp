// The pattern engine of Find, Replace and Find in Files, and the Find dialog's copy of the text,
// without a window.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "SearchPattern.h"
#include "TextFind.h"
#include "Texts.h"

namespace {

using search::Match;

search::Pattern Make(const std::wstring& what, bool regex, bool matchCase = true, bool wholeWord = false) {
    std::wstring error;
    auto p = search::Pattern::Make({what, matchCase, wholeWord, regex}, error);
    EXPECT_TRUE(p) << what << ": " << error;
    return p ? *p : *search::Pattern::Make({L"", true, false, false}, error);
}

TEST(SearchPattern, FindTable) {
    const std::optional<Match> none;
    struct Row {
        const wchar_t *text, *what;
        bool regex, matchCase, wholeWord;
        size_t from;
        std::optional<Match> want;
    } rows[] = {
        {L"abc a.c", L"a.c", false, true, false, 0, Match{4, 3}},  // plain: the dot is a dot
        {L"abc a.c", L"a.c", true, true, false, 0, Match{0, 3}},
        {L"xaaaay", L"aa", false, true, false, 2, Match{2, 2}},  // plain overlaps
        {L"xABC", L"abc", true, false, false, 0, Match{1, 3}},   // regex without case
        {L"xABC", L"abc", true, true, false, 0, none},
        {L"concat cat", L"cat", true, true, true, 0, Match{7, 3}},  // whole word
        {L"concat cat", L"\\bcat\\b", true, true, false, 0, Match{7, 3}},
        // Per-line anchors and the dot whatever the line ends.
        {L"a\r\nb", L"^b", true, true, false, 0, Match{3, 1}},   {L"a\nb", L"^b", true, true, false, 0, Match{2, 1}},
        {L"a\rb", L"^b", true, true, false, 0, Match{2, 1}},     {L"xa\r\nb", L"a$", true, true, false, 0, Match{1, 1}},
        {L"xa\nb", L"a$", true, true, false, 0, Match{1, 1}},    {L"xa\rb", L"a$", true, true, false, 0, Match{1, 1}},
        {L"ab\r\ncd", L".+", true, true, false, 0, Match{0, 2}}, {L"ab\rcd", L"b.", true, true, false, 0, none},
        {L"a\r\n\r\nb", L"^$", true, true, false, 1, Match{3, 0}},
        {L"a\r\nb", L"\\r\\n", true, true, false, 0, Match{1, 2}},  // a line end written out
        {L"ab ab", L"^ab", true, true, false, 1, none},  // a start past 0 is not a line's start
        {L"ab ab", L"\\bab", true, true, false, 1, Match{3, 2}},
        {L"xb", L"a*b", true, true, false, 0, Match{1, 1}},  // a start that may be left out
    };
    for (const Row& r : rows) {
        const auto p = Make(r.what, r.regex, r.matchCase, r.wholeWord);
        const std::wstring_view text = r.text;
        EXPECT_EQ(p.Find(text, r.from, text.size()), r.want) << r.text << " / " << r.what;
        // The same in the text's ASCII bytes, where the engine takes them.
        if (p.FindsInAscii()) {
            EXPECT_EQ(p.Find(std::string(text.begin(), text.end()), r.from, text.size()), r.want) << r.what;
        }
    }
    // A search that stops inside a line: `$` does not match there.
    EXPECT_EQ(Make(L"a$", true).Find(L"xab", 0, 2), none);
}

TEST(SearchPattern, FindAllAndFindNext) {
    // Empty matches move on by one: every line's start, whatever its end.
    const auto starts = Make(L"^", true).FindAll(L"a\nb\r\nc\rd", 0, 8);
    EXPECT_EQ(starts, (std::vector<Match>{{0, 0}, {2, 0}, {5, 0}, {7, 0}}));
    EXPECT_EQ(Make(L"x+", true).FindAll(L"xx.x.xxx", 1, 7), (std::vector<Match>{{1, 1}, {3, 1}, {5, 2}}));
    const auto next = Make(L"o.e", true).FindNext(L"one two one", 3), wrapped = Make(L"t.o", true).FindNext(L"one two one", 6);
    ASSERT_TRUE(next && wrapped);
    EXPECT_EQ(std::tuple(next->match, next->wrapped, wrapped->match, wrapped->wrapped),
              std::tuple(Match{8, 3}, false, Match{4, 3}, true));
    EXPECT_TRUE(Make(L"t.o", true).IsMatch(L"one two", {4, 3}));
    EXPECT_FALSE(Make(L"t.o", true).IsMatch(L"one two", {4, 2}));
}

TEST(SearchPattern, ReplacementGroups) {
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> rows[] = {
        {L"(\\w+)=(\\w+)", L"$2=$1", L"b=a"},   {L"(\\w+)=(\\w+)", L"\\2:\\1", L"b:a"},
        {L"(\\w+)=(\\w+)", L"[$&]", L"[a=b]"},  {L"(\\w+)=(\\w+)", L"$$1 \\\\", L"$1 \\"},
        {L"(\\w+)=(x)?", L"<$2>", L"<>"},        {L"(\\w+)=(\\w+)", L"$", L"$"},
    };
    for (const auto& [what, with, want] : rows) {
        const auto p = Make(what, true);
        const std::wstring text = L"a=b";
        const auto m = p.Find(text, 0, text.size());
        ASSERT_TRUE(m) << what;
        EXPECT_EQ(p.Expand(text, *m, with), want) << with;
    }
    EXPECT_EQ(Make(L"a", false).Expand(L"a", {0, 1}, L"$&"), L"$&");  // plain text replaces as typed
}

TEST(SearchPattern, InvalidPatternsSayWhichAndWhere) {
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"(ab", texts::PatternParen},       {L"ab)", texts::PatternParen},
        {L"[ab", texts::PatternBracket},     {L"a{2,1}", texts::PatternBadBrace},
        {L"*a", texts::PatternRepeat},       {L"a\\", texts::PatternEscape},
        {L"[[:nope:]]", texts::PatternClass},     {L"(a)\\2", texts::PatternBackref},
    };
    for (const auto& [what, reason] : rows) {
        std::wstring error;
        EXPECT_FALSE(search::Pattern::Make({what, true, false, true}, error));
        EXPECT_EQ(error.rfind(std::wstring(texts::PatternInvalid) + reason + texts::PatternAt, 0), 0u) << what << ": " << error;
    }
}

TEST(SearchPattern, AMegabyteLineWithANestedGroupMatchesOnTheHeap) {
    const std::wstring text = L"x\r\n" + std::wstring(1 << 20, L'a') + L"\r\ny";
    const auto m = Make(L"^(a(b)?)+$", true).Find(text, 0, text.size());
    ASSERT_TRUE(m);
    EXPECT_EQ(*m, (Match{3, size_t{1} << 20}));
    // Too many ways to try: the engine gives up with a reason, the caller stays.
    std::wstring reason;
    try {
        Make(L"(a|aa)*c", true).Find(std::wstring(1000, L'a'), 0, 1000);
    } catch (const search::PatternTooHard& e) {
        reason = e.reason;
    }
    EXPECT_EQ(reason, texts::PatternTooManySteps);
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
