// Page layout against a fake page and a fixed-pitch fake font.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <utility>

#include "PageLayout.h"

using namespace pagelayout;

namespace {

// Every character is 10 units wide.
size_t FixedFit(std::wstring_view s, int width) {
    const size_t n = width > 0 ? static_cast<size_t>(width / 10) : 0;
    return n < s.size() ? n : s.size();
}

// A text area 10 characters wide and 4 lines of 10 units high.
const TextArea kArea{5, 7, 100, 40};

// Lines joined with "|", pages ended with "#".
std::wstring Join(const std::vector<PrintedPage>& pages) {
    std::wstring all;
    for (const auto& p : pages) {
        for (const auto& l : p) all += l.text + L"|";
        all += L"#";
    }
    return all;
}

}  // namespace

TEST(PageLayoutTest, Table) {
    struct Row {
        const wchar_t* text;
        int copies, lineHeight;
        const wchar_t* want;
    } rows[] = {
        {L"", 1, 10, L"|#"},  // an empty document: one page, one empty line
        {L"1\r\n2\r\n3\r\n4\r\n5\r\n6", 1, 10, L"1|2|3|4|#5|6|#"},
        {L"aaaaaaaaaabbbbbbbbbbccccc\r\nx\r\ny", 1, 10, L"aaaaaaaaaa|bbbbbbbbbb|ccccc|x|#y|#"},  // pieces count
        {L"a\r\nb\r\nc", 3, 10, L"a|b|c|a|#b|c|a|b|#c|#"},  // copies run on without a page break
        {L"a", 0, 10, L"a|#"},                              // zero copies print one
        {L"a\r\nb", 1, 1000, L"a|#b|#"},                    // a line taller than the page
        {L"\tx", 1, 10, L"        x|#"}, {L"\t\tx", 1, 10, L"          |x|#"},  // the break falls in the expanded blanks
    };
    for (const Row& r : rows) EXPECT_EQ(Join(Layout(r.text, r.copies, kArea, r.lineHeight, FixedFit)), r.want) << r.text;
    const auto pages = Layout(L"1\r\n2\r\n3\r\n4\r\n5", 1, kArea, 10, FixedFit);
    // Lines start at the area's corner; a new page starts at the top margin again.
    EXPECT_EQ(std::tuple(pages[0][0].x, pages[0][3].y, pages[1][0].y), std::tuple(5, 37, 7));
}

// Copies are laid out once: as many measurements for forty copies as for one, and the pages come
// one at a time in the same order as the whole job's.
TEST(PageLayoutTest, CopiesAreLaidOutOnce) {
    std::wstring text;
    for (int i = 1; i <= 30; ++i) text += L"line number " + std::to_wstring(i) + L" of thirty\r\n";
    size_t calls = 0;
    auto counting = [&](std::wstring_view s, int width) { return ++calls, FixedFit(s, width); };
    const size_t onePages = Layout(text, 1, kArea, 10, counting).size(), oneCalls = std::exchange(calls, 0);
    EXPECT_GT(Layout(text, 40, kArea, 10, counting).size(), 39 * onePages);
    EXPECT_EQ(calls, oneCalls);
    const std::vector<std::wstring> pieces = WrapText(text, kArea.width, FixedFit);  // the pager reads them
    Pager pager(pieces, 3, kArea, 10);
    std::vector<PrintedPage> paged(1);
    while (pager.Next(paged.back())) paged.emplace_back();
    paged.pop_back();
    auto placed = [](const std::vector<PrintedPage>& pages) {
        std::wstring all;
        for (const auto& p : pages)
            for (const auto& l : p) all += l.text + L"@" + std::to_wstring(l.x) + L"," + std::to_wstring(l.y) + L"|";
        return all + std::to_wstring(pages.size());
    };
    EXPECT_EQ(placed(paged), placed(Layout(text, 3, kArea, 10, FixedFit)));
    EXPECT_FALSE(pager.Next(paged.back()));
}

// Line ends and tabs; words wrap at blanks, or where the width ends; a character outside the basic
// plane (two code units) is never split by a wrap.
TEST(PageLines, LineEndsTabsAndWrapsAtBlanksKeepingSurrogatePairsWhole) {
    EXPECT_EQ(SplitLines(L"a\r\nb\rc\nd"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(SplitLines(L"\r\n\r\n"), (std::vector<std::wstring>{L"", L"", L""}));
    EXPECT_EQ(ExpandTabs(L"abc\tx") + L"|" + ExpandTabs(L"abcdefgh\tx"), L"abc     x|abcdefgh        x");
    EXPECT_EQ(ExpandTabs(L"a\tb", 4), L"a   b");
    // The editing area's tab width reaches the printed lines.
    EXPECT_EQ(WrapText(L"a\tb\r\n\tc", kArea.width, FixedFit, 3), (std::vector<std::wstring>{L"a  b", L"   c"}));
    using V = std::vector<std::wstring>;
    const std::wstring g = L"\xD834\xDD1E";  // one character (U+1D11E) in two UTF-16 code units
    struct Row {
        std::wstring line;
        int width;
        V want;
    } rows[] = {
        {L"", 100, V{L""}}, {L"hello big world", 100, V{L"hello big ", L"world"}},
        {L"abcdefghijklmnopqrstuvwxy", 100, V{L"abcdefghij", L"klmnopqrst", L"uvwxy"}},
        {L"abcdefghij klm", 100, V{L"abcdefghij", L"klm"}},  // blank at the edge
        {L"abc", 3, V{L"a", L"b", L"c"}},                   // narrower than one character
        {L"abcdefghi" + g + L"xy", 100, V{L"abcdefghi", g + L"xy"}},  // the pair straddles the edge
        {g + g + g, 10, V{g, g, g}},                                 // room for one code unit only
        {g + g + g, 30, V{g, g, g}},                                 // room for three
        {L"ab " + g + g, 40, V{L"ab ", g + g}},
        // U+10000, U+203FF and U+10FFFD: pairs at each end of the high and low halves' ranges.
        {L"\xD800\xDC00\xD840\xDFFF\xDBFF\xDFFD", 10, V{L"\xD800\xDC00", L"\xD840\xDFFF", L"\xDBFF\xDFFD"}},
    };
    for (const Row& r : rows) EXPECT_EQ(WrapLine(r.line, r.width, FixedFit), r.want) << r.width;
}

// Inch margins inside the printable area; whatever a printer reports, the text area stays inside
// the printable area and is never empty.
TEST(PageMargins, InchMarginsInsideThePrintableAreaNeverEmptyWhateverTheGeometry) {
    // Letter at 300 dpi, printable area 1/6 inch in from each edge.
    EXPECT_EQ(TextAreaFor(PageGeometry{2550, 3300, 50, 50, 2450, 3200, 300, 300}, 0.75),
              (TextArea{225 - 50, 225 - 50, 2550 - 450, 3300 - 450}));
    // An unprintable border wider than the margin is the margin.
    EXPECT_EQ(TextAreaFor(PageGeometry{1000, 1000, 200, 300, 600, 400, 100, 100}, 0.5), (TextArea{0, 0, 600, 400}));
    const int big = INT_MAX, small = INT_MIN;
    const PageGeometry rows[] = {
        {10, 10, 0, 0, 10, 10, 300, 300}, {},  // smaller than the margins, nothing known
        {big, big, small, small, big, big, big, big},
        {0, 0, big, big, big, big, 300, 300},
        {small, small, big, big, small, small, small, small},
        {big, big, big, big, 0, 0, big, big},
        {2550, 3300, small, 50, 2450, big, 300, 300},
    };
    for (const PageGeometry& g : rows) {
        for (double inches : {0.75, 1.0, 1e300, -1e300}) {
            const TextArea a = TextAreaFor(g, inches);
            EXPECT_TRUE(a.width >= 1 && a.height >= 1 && a.left >= 0 && a.top >= 0);
            EXPECT_TRUE(g.printableWidth <= 0 || static_cast<long long>(a.left) + a.width <= g.printableWidth);
            EXPECT_TRUE(g.printableHeight <= 0 || static_cast<long long>(a.top) + a.height <= g.printableHeight);
        }
    }
    // Lines of any height on an area at the end of the range.
    const auto pages = Layout(L"a\r\nb", 2, TextArea{big - 10, big - 10, 10, 10}, big, FixedFit);
    EXPECT_EQ(pages.size(), 4u);
}
