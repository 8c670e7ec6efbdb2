// The programmer's-editor rules without a window: languages and their colours, Replace's matching,
// Go To and the caret's place, the tab width setting.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "CaretPlace.h"
#include "SyntaxScheme.h"
#include "TextReplace.h"
#include "TextStyles.h"
#include "basTavrin.h"

namespace {

using syntax::Language;

TEST(Syntax, LanguageFromTheExtensionThenTheSaveAsType) {
    using enum Language;
    const std::tuple<const wchar_t*, int, Language> rows[] = {
        {L"C:\\src\\main.CPP", -1, Cpp}, {L"a.h", -1, Cpp}, {L"App.java", -1, Java}, {L"site\\Index.HTM", -1, Html},
        {L"page.html", -1, Html}, {L"lib.js", -1, JavaScript}, {L"run.vbs", -1, VBScript}, {L"s.css", -1, Css},
        {L"default.asp", -1, ServerPage}, {L"notes.txt", 0, None}, {L"readme", -1, None}, {L"C:\\dir.cpp\\readme", -1, None},
        {L"x.c", 4, Cpp},            // the name decides over the type
        {L"archive.zip", 0, None},   // a known other type stays plain
        {L"", -1, None},             // untitled
        {L"Untitled", 0, Cpp}, {L"C:\\dir.v2\\page", 2, Html},  // no extension: the type chosen
        {L"x", 6, ServerPage}, {L"x", 7, Java}, {L"x", 8, None}, {L"x", 9, None}, {L"x", 10, None},
    };
    for (const auto& [path, type, want] : rows) EXPECT_EQ(syntax::LanguageOf(path, type), want) << path << " " << type;
    EXPECT_EQ(syntax::LexerName(Language::None), nullptr);
    for (Language l : {Language::Html, Language::ServerPage}) EXPECT_STREQ(syntax::LexerName(l), "hypertext");
}

TEST(Syntax, KeywordListsSuitTheirLexersAndEveryColourReadsOnItsBackground) {
    for (Language l : {Language::Cpp, Language::Java, Language::JavaScript, Language::Html, Language::ServerPage,
                       Language::VBScript, Language::Css}) {
        const auto lists = syntax::KeywordLists(l);
        ASSERT_FALSE(lists.empty());
        const std::string lexer = syntax::LexerName(l);
        for (const auto& k : lists) {
            const std::string words = k.words;
            // The markup and Basic lexers look words up in lower case: a capital never matches.
            const bool lower = (lexer != "hypertext" && lexer != "vbscript") ||
                               std::none_of(words.begin(), words.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
            EXPECT_TRUE(!words.empty() && words.find("  ") == std::string::npos && lower) << lexer << " list " << k.set;
        }
    }
    // Every colour reads on its background.
    const syntax::Rgb white = syntax::MakeRgb(255, 255, 255), black = 0, navy = syntax::MakeRgb(0, 0, 64),
                      cream = syntax::MakeRgb(255, 250, 220);
    for (auto [rgb, dark] :
         {std::pair{white, false}, {cream, false}, {black, true}, {navy, true}, {syntax::MakeRgb(128, 128, 128), false}})
        EXPECT_EQ(syntax::IsDark(rgb), dark) << rgb;
    for (int r = 0; r < static_cast<int>(syntax::Role::Count); ++r) {
        const auto role = static_cast<syntax::Role>(r);
        for (syntax::Rgb back : {white, cream}) EXPECT_GE(syntax::Contrast(syntax::LookOf(role, false).fore, back), 4.5) << r;
        for (syntax::Rgb back : {black, navy}) EXPECT_GE(syntax::Contrast(syntax::LookOf(role, true).fore, back), 4.5) << r;
    }
}

textreplace::Options Opt(bool matchCase, bool wholeWord) { return {matchCase, wholeWord, textreplace::SystemFold}; }

TEST(Replace, FindAllAndFindNextWrappingOnce) {
    struct Row {
        const wchar_t* text;
        const wchar_t* what;
        bool matchCase, wholeWord;
        std::vector<size_t> want;
    } rows[] = {
        {L"aaaa", L"aa", true, false, {0, 2}},  // overlapping: one after another
        {L"abab", L"ab", true, false, {0, 2}},  // adjacent: both
        {L"Cat cat CAT", L"cat", false, false, {0, 4, 8}}, {L"Cat cat CAT", L"cat", true, false, {4}},
        {L"\u00c9t\u00e9 \u00e9t\u00e9", L"\u00e9t\u00e9", false, false, {0, 4}},
        {L"int x; int_y; print; int", L"int", true, true, {0, 21}},  // whole words at both edges
        {L"int", L"int", true, true, {0}}, {L"x.int(", L"int", true, true, {2}},
        {L"0int int9 aint intz Aint _int Zint int", L"int", true, true, {35}},  // the first and last of each kind
        {L"\u00B7int\u00BF", L"int", true, true, {1}},  // Latin-1 signs are no letters
        {L"0int int", L"int", true, true, {5}},
        {L"2\u00D7int\u00F7x", L"int", true, true, {2}},  // the times and division signs are no letters
        {L"\u00e9int int\u00e9", L"int", true, true, {}},  // a letter beyond ASCII is part of the word
        {L"a-b a-b", L"a-b", true, true, {0, 4}},
        {L"abc", L"", true, false, {}}, {L"", L"a", true, false, {}}, {L"ab", L"abc", true, false, {}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(textreplace::FindAll(r.text, r.what, 0, std::wstring_view(r.text).size(), Opt(r.matchCase, r.wholeWord)),
                  r.want)
            << r.text << " / " << r.what;
    // Inside a range: a match must end inside it; the word edges look outside it.
    EXPECT_EQ(textreplace::FindAll(L"xx xx xx", L"xx", 1, 7, Opt(true, false)), (std::vector<size_t>{3}));
    EXPECT_EQ(textreplace::FindAll(L"axx xx", L"xx", 1, 6, Opt(true, true)), (std::vector<size_t>{4}));
    // Find Next wraps once and says so.
    const struct {
        const wchar_t *text, *what;
        size_t from;
        long long pos;  // -1: none
        bool wrapped;
    } next[] = {
        {L"one two one two", L"two", 0, 4, false}, {L"one two one two", L"two", 13, 4, true},
        {L"one two one two", L"one", 1, 8, false}, {L"one two one two", L"one", 9, 0, true},
        {L"abcd", L"bc", 2, 1, true},  // across the start: seen on the way round
        {L"one two one two", L"three", 5, -1, false}, {L"one two one two", L"three", 0, -1, false}, {L"one", L"x", 99, -1, false},
    };
    for (const auto& r : next) {
        const auto n = textreplace::FindNext(r.text, r.what, r.from, Opt(true, false));
        EXPECT_EQ(std::pair(n ? static_cast<long long>(n->pos) : -1, n && n->wrapped), std::pair(r.pos, r.wrapped))
            << r.what << " " << r.from;
    }
    for (auto [what, at, o, want] : {std::tuple{L"ONE", 8, Opt(false, true), true}, {L"ONE", 8, Opt(true, false), false},
                                      {L"on", 8, Opt(false, true), false}, {L"two", 13, Opt(true, false), false}})
        EXPECT_EQ(textreplace::IsMatchAt(L"one two one two", what, at, o), want) << what << " " << at;
}

TEST(CaretPlace, GoToTargetsAndTheStatusText) {
    const std::tuple<const wchar_t*, int64_t, int64_t> rows[] = {
        {L"1", 10, 0},   {L"10", 10, 9},  {L"11", 10, 9}, {L"99999999999999999999999", 10, 9},
        {L" 7 ", 10, 6}, {L"007", 10, 6}, {L"", 10, -1},  {L"0", 10, -1},
        {L"000", 10, -1}, {L"-3", 10, -1}, {L"3x", 10, -1}, {L"1", 1, 0}, {L"5", 0, -1},
    };
    for (const auto& [entry, lines, want] : rows) EXPECT_EQ(caretplace::GoToTarget(entry, lines), want) << entry;
    EXPECT_EQ(caretplace::LineColumnText(12, 5), L"Ln 12, Col 5");
}

// Each new format takes the next number, stepping over the control's own 32 to 39, until 255;
// a format given again keeps its number.
TEST(TextStyles, NewFormatsStepOverTheControlsOwnNumbersUntilNoneIsLeft) {
    textstyles::Table t;
    EXPECT_EQ(t.StyleFor({}), textstyles::kPlain);
    std::vector<int> got;
    for (int n = 1; n <= 300; ++n) {
        const int s = t.StyleFor({n % 2 == 0, false, n * 10});
        if (s < 0) break;
        got.push_back(s);
    }
    ASSERT_EQ(got.size(), 247u);
    EXPECT_EQ(std::vector<int>(got.begin() + 30, got.begin() + 32), (std::vector<int>{31, 40}));
    EXPECT_EQ(got.back(), 255);
    EXPECT_EQ(t.Used(), got);
    EXPECT_EQ(t.StyleFor({true, false, 320}), 40);
    EXPECT_EQ(t.FormatOf(40), (textstyles::Format{true, false, 320}));
    EXPECT_EQ(t.FormatOf(35), textstyles::Format{});
}

}  // namespace
