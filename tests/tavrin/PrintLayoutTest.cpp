// Page layout against a fake page and a fixed-pitch fake font; the toolbar's table and routing.
#include <gtest/gtest.h>

#include <string>

#include "PageLayout.h"
#include "ToolbarDef.h"

using namespace pagelayout;

namespace {

// Every character is 10 units wide.
constexpr int kCharWidth = 10;
size_t FixedFit(std::wstring_view s, int width) {
    const size_t n = width > 0 ? static_cast<size_t>(width / kCharWidth) : 0;
    return n < s.size() ? n : s.size();
}

// A text area 10 characters wide and 4 lines of 10 units high.
const TextArea kArea{5, 7, 100, 40};

std::wstring Join(const std::vector<PrintedPage>& pages) {
    std::wstring all;
    for (const auto& p : pages)
        for (const auto& l : p) all += l.text + L"|";
    return all;
}

size_t LineCount(const std::vector<PrintedPage>& pages) {
    size_t n = 0;
    for (const auto& p : pages) n += p.size();
    return n;
}

}  // namespace

TEST(PageMargins, InchMarginsFromTheSheetEdgeInsideThePrintableArea) {
    // Letter at 300 dpi: 2550 x 3300, printable area 1/6 inch in from each edge.
    PageGeometry g{2550, 3300, 50, 50, 2450, 3200, 300, 300};
    const TextArea a = TextAreaFor(g, 0.75);
    EXPECT_EQ(a, (TextArea{225 - 50, 225 - 50, 2550 - 450, 3300 - 450}));
}

TEST(PageMargins, AnUnprintableBorderWiderThanTheMarginIsTheMargin) {
    PageGeometry g{1000, 1000, 200, 300, 600, 400, 100, 100};
    const TextArea a = TextAreaFor(g, 0.5);  // 50 units, less than the border everywhere
    EXPECT_EQ(a, (TextArea{0, 0, 600, 400}));
}

TEST(PageMargins, ATinyPageIsNeverEmpty) {
    PageGeometry g{10, 10, 0, 0, 10, 10, 300, 300};
    const TextArea a = TextAreaFor(g, 1.0);
    EXPECT_GT(a.width, 0);
    EXPECT_GT(a.height, 0);
    EXPECT_EQ(TextAreaFor(PageGeometry{}, 1.0).width, 1);
}

TEST(PageLines, SplitAtEveryKindOfLineEnd) {
    EXPECT_EQ(SplitLines(L""), std::vector<std::wstring>{L""});
    EXPECT_EQ(SplitLines(L"a\r\nb\rc\nd"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(SplitLines(L"a\r\n"), (std::vector<std::wstring>{L"a", L""}));
    EXPECT_EQ(SplitLines(L"\r\n\r\n"), (std::vector<std::wstring>{L"", L"", L""}));
}

TEST(PageLines, TabsExpandToEightColumnStops) {
    EXPECT_EQ(ExpandTabs(L"\tx"), L"        x");
    EXPECT_EQ(ExpandTabs(L"abc\tx"), L"abc     x");
    EXPECT_EQ(ExpandTabs(L"abcdefgh\tx"), L"abcdefgh        x");
    EXPECT_EQ(ExpandTabs(L"a\tb", 4), L"a   b");
}

TEST(PageWrap, LongLinesBreakAfterBlanksOrInsideLongWords) {
    EXPECT_EQ(WrapLine(L"short", 100, FixedFit), std::vector<std::wstring>{L"short"});
    EXPECT_EQ(WrapLine(L"", 100, FixedFit), std::vector<std::wstring>{L""});
    EXPECT_EQ(WrapLine(L"hello big world", 100, FixedFit), (std::vector<std::wstring>{L"hello big ", L"world"}));
    EXPECT_EQ(WrapLine(L"abcdefghijklmnopqrstuvwxy", 100, FixedFit),
              (std::vector<std::wstring>{L"abcdefghij", L"klmnopqrst", L"uvwxy"}));
    // A blank right at the edge: the next piece starts with the next word.
    EXPECT_EQ(WrapLine(L"abcdefghij klm", 100, FixedFit), (std::vector<std::wstring>{L"abcdefghij", L"klm"}));
}

TEST(PageWrap, ANarrowerPageThanOneCharacterStillPrintsEveryCharacter) {
    EXPECT_EQ(WrapLine(L"abc", 3, FixedFit), (std::vector<std::wstring>{L"a", L"b", L"c"}));
}

TEST(PageLayoutTest, AnEmptyDocumentIsOnePageWithOneEmptyLine) {
    const auto pages = Layout(L"", 1, kArea, 10, FixedFit);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 1u);
    EXPECT_EQ(pages[0][0].text, L"");
    EXPECT_EQ(pages[0][0].x, 5);
    EXPECT_EQ(pages[0][0].y, 7);
}

TEST(PageLayoutTest, LinesRunDownThePageAndOnToTheNext) {
    const auto pages = Layout(L"1\r\n2\r\n3\r\n4\r\n5\r\n6", 1, kArea, 10, FixedFit);
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[0].size(), 4u);
    EXPECT_EQ(pages[0][3].y, 37);
    ASSERT_EQ(pages[1].size(), 2u);
    EXPECT_EQ(pages[1][0].text, L"5");
    EXPECT_EQ(pages[1][0].y, 7);  // the new page starts at the top margin
}

TEST(PageLayoutTest, WrappedPiecesCountAsLinesForPageBreaks) {
    const auto pages = Layout(L"aaaaaaaaaabbbbbbbbbbccccc\r\nx\r\ny", 1, kArea, 10, FixedFit);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Join(pages), L"aaaaaaaaaa|bbbbbbbbbb|ccccc|x|y|");
    EXPECT_EQ(pages[1][0].text, L"y");
}

TEST(PageLayoutTest, CopiesFollowOneAnotherWithoutAPageBreak) {
    const auto pages = Layout(L"a\r\nb\r\nc", 3, kArea, 10, FixedFit);
    EXPECT_EQ(Join(pages), L"a|b|c|a|b|c|a|b|c|");
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0][3].text, L"a");  // the second copy starts right after the first
}

TEST(PageLayoutTest, NoLineIsLostInALongDocument) {
    std::wstring text;
    for (int i = 1; i <= 2000; ++i) text += L"line " + std::to_wstring(i) + (i < 2000 ? L"\r\n" : L"");
    const auto pages = Layout(text, 1, kArea, 10, FixedFit);
    EXPECT_EQ(pages.size(), 500u);
    EXPECT_EQ(LineCount(pages), 2000u);
    EXPECT_EQ(pages.back().back().text, L"line 2000");
    for (const auto& p : pages)
        for (const auto& l : p) EXPECT_LE(l.y + 10, kArea.top + kArea.height);
}

TEST(PageLayoutTest, ALineTallerThanThePageStillGetsAPageEach) {
    const auto pages = Layout(L"a\r\nb", 1, kArea, 1000, FixedFit);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1][0].text, L"b");
}

TEST(PageLayoutTest, TabsAreExpandedBeforeWrapping) {
    EXPECT_EQ(Join(Layout(L"\tx", 1, kArea, 10, FixedFit)), L"        x|");
    // Sixteen columns of blanks do not fit: the break falls in the blanks, which neither line keeps.
    EXPECT_EQ(Join(Layout(L"\t\tx", 1, kArea, 10, FixedFit)), L"          |x|");
}

TEST(PageLayoutTest, ZeroOrNegativeCopiesPrintOne) {
    EXPECT_EQ(Join(Layout(L"a", 0, kArea, 10, FixedFit)), L"a|");
}

TEST(ToolbarTable, FourteenPositionsWithSeparatorsHiddenAndDisabledButtons) {
    const toolbar::Position* p = toolbar::Positions();
    std::wstring keys;
    for (size_t i = 0; i < toolbar::kCount; ++i)
        keys += std::wstring(p[i].kind == toolbar::Kind::Separator ? L"-" : p[i].key) + L",";
    EXPECT_EQ(keys, L"New,Open,Save,-,Print,PREVIEW,-,Cut,Copy,Paste,Find,-,Redo,Undo,");
    EXPECT_TRUE(p[5].hidden);
    EXPECT_EQ(p[5].tooltip, nullptr);
    EXPECT_TRUE(p[12].hidden);
    EXPECT_FALSE(p[toolbar::kPastePosition - 1].enabled);
    EXPECT_EQ(std::wstring(p[toolbar::kPastePosition - 1].key), L"Paste");
    for (size_t i = 0; i < toolbar::kCount; ++i) {
        if (p[i].kind == toolbar::Kind::Separator) continue;
        EXPECT_GE(toolbar::ImageIndex(p[i].imageKey), 0) << i;
        if (i != 5 && i != 12) {
            EXPECT_FALSE(p[i].hidden) << i;
            EXPECT_EQ(std::wstring(p[i].tooltip), std::wstring(p[i].key));
        }
        if (i + 1 != static_cast<size_t>(toolbar::kPastePosition)) {
            EXPECT_TRUE(p[i].enabled) << i;
        }
    }
}

TEST(ToolbarTable, ElevenImagesInKeyOrder) {
    const wchar_t* const* k = toolbar::ImageKeys();
    std::wstring all;
    for (size_t i = 0; i < toolbar::kImageCount; ++i) all += std::wstring(k[i]) + L",";
    EXPECT_EQ(all, L"New,Open,Save,Print,PREVIEW,Cut,Copy,Paste,Find,Redo,Undo,");
    EXPECT_EQ(toolbar::ImageIndex(L"Undo"), 10);
    EXPECT_EQ(toolbar::ImageIndex(L"undo"), -1);
}

TEST(ToolbarRouting, EveryKeyGoesToItsMenuItemOrQuickPrint) {
    using toolbar::Route;
    using toolbar::Target;
    EXPECT_EQ(toolbar::RouteKey(L"New"), (Route{Target::FileMenu, 0}));
    EXPECT_EQ(toolbar::RouteKey(L"Open"), (Route{Target::FileMenu, 1}));
    EXPECT_EQ(toolbar::RouteKey(L"Save"), (Route{Target::FileMenu, 3}));
    EXPECT_EQ(toolbar::RouteKey(L"Print"), (Route{Target::QuickPrint, -1}));
    EXPECT_EQ(toolbar::RouteKey(L"Cut"), (Route{Target::EditMenu, 2}));
    EXPECT_EQ(toolbar::RouteKey(L"Copy"), (Route{Target::EditMenu, 3}));
    EXPECT_EQ(toolbar::RouteKey(L"Paste"), (Route{Target::EditMenu, 4}));
    EXPECT_EQ(toolbar::RouteKey(L"Find"), (Route{Target::EditMenu, 7}));
    EXPECT_EQ(toolbar::RouteKey(L"Undo"), (Route{Target::EditMenu, 0}));
    for (const wchar_t* none : {L"Redo", L"PREVIEW", L"", L"new", L"PRINT", L"Print ", L"Preview"})
        EXPECT_EQ(toolbar::RouteKey(none), Route{}) << none;
}
