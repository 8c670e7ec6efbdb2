// Settings, document file rules and layout arithmetic, without a window.
#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <vector>

#include "CompileCommand.h"
#include "MainLayout.h"
#include "basTavrin.h"
#include "ToolbarDef.h"
#include "ZoomLevel.h"

namespace {

class MemoryStore : public settings::Store {
public:
    std::map<std::wstring, std::wstring> values;
    std::vector<std::wstring> order;
    std::optional<std::wstring> Read(const wchar_t* key) override {
        auto it = values.find(key);
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
    void Write(const wchar_t* key, const std::wstring& value) override {
        values[key] = value;
        order.push_back(key);
    }
};

TEST(Settings, DefaultsRoundTripFallBacksTheTabWidthFromOneToSixteenAndWordWrapOff) {
    MemoryStore s;
    settings::Values v = settings::Read(s, L"C:\\Prog\\Code");
    const auto expect = [](const settings::Values& v, const std::wstring& dir, int type, int l, int t, int w, int h) {
        EXPECT_EQ(v.initDir, dir);
        EXPECT_EQ(v.defaultFileType, type);
        EXPECT_EQ(std::vector<int>({v.left, v.top, v.width, v.height}), std::vector<int>({l, t, w, h}));
    };
    expect(v, L"C:\\Prog\\Code", 0, 1000, 1000, 6500, 6500);  // an empty store gives the defaults
    v = {L"D:\\\u00c9t\u00e9", 3, -120, 45, 9000, 7000};
    settings::Write(s, v);
    EXPECT_EQ(s.order, (std::vector<std::wstring>{L"InitDir", L"DefaultFileType", L"MainLeft", L"MainTop",
                                                  L"MainWidth", L"MainHeight"}));
    EXPECT_EQ(s.values[L"MainLeft"], L"-120");
    expect(settings::Read(s, L"X"), L"D:\\\u00c9t\u00e9", 3, -120, 45, 9000, 7000);
    s.values = {{L"MainLeft", L"abc"}, {L"MainTop", L"12.5"}, {L"MainWidth", L"0"},
                {L"MainHeight", L"99999999999"}, {L"DefaultFileType", L"42"}, {L"InitDir", L""}};
    expect(settings::Read(s, L"C:\\Code"), L"C:\\Code", 0, 1000, 1000, 6500, 6500);
    s.values = {{L"MainWidth", L"-5"}, {L"MainHeight", L"0"}};  // no window to see: the default size
    expect(settings::Read(s, L"C:\\Code"), L"C:\\Code", 0, 1000, 1000, 6500, 6500);
    for (auto [text, want] : {std::pair{L" 1500 ", 1500}, {L"", 7}, {L"-", 7}, {L"1e3", 7}, {L"2147483648", 7},
                              {L"-2147483649", 7}, {L"-2147483648", -2147483647 - 1}, {L"+2147483647", 2147483647}})
        EXPECT_EQ(settings::ParseNumber(std::wstring(text), 7), want) << text;
    EXPECT_EQ(settings::CodeFolderOf(L"C:\\Program Files\\Tavrin\\"), L"C:\\Program Files\\Tavrin\\Code");
    // The tab width: 1 to 16, else 4.
    s.values.clear();
    EXPECT_EQ(settings::ReadTabWidth(s), 4);
    for (auto [text, want] : std::initializer_list<std::pair<const wchar_t*, int>>{
             {L"1", 1}, {L"16", 16}, {L"8", 8}, {L"0", 4}, {L"17", 4}, {L"-2", 4}, {L"tab", 4}}) {
        s.values[L"TabWidth"] = text;
        EXPECT_EQ(settings::ReadTabWidth(s), want) << text;
    }
    settings::WriteTabWidth(s, 3);
    EXPECT_EQ(s.values[L"TabWidth"], L"3");
    EXPECT_EQ(zoom::PanelText(100) + L"|" + zoom::PanelText(150), L"|150%");  // the panel only away from 100 %
    EXPECT_FALSE(zoom::ReadWordWrap(s));  // off by default
    s.values[L"WordWrap"] = L"yes";
    EXPECT_FALSE(zoom::ReadWordWrap(s));
}

TEST(CommandLine, TheFileIsTheRestOfTheLineAsTyped) {
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"Tavrin.exe a  b.txt", L"a  b.txt"}, {L"Tavrin.exe   a\t b.txt  ", L"a\t b.txt"},  // blanks inside kept
        {L"\"C:\\Program Files\\Tavrin.exe\" \"C:\\x y\\n  1.cpp\"", L"C:\\x y\\n  1.cpp"},
        {L"\"C:\\Program Files\\Tavrin.exe\"x.cpp", L"x.cpp"},  // no blank after the quoted name
        {L"\"C:\\odd name\\Tavrin.exe", L""},                      // an unclosed quote
        {L"Tavrin.exe \"C:\\x y\\\"n.cpp", L"C:\\x y\\n.cpp"},    // quotes around part of it
        {L"Tavrin.exe", L""}, {L"Tavrin.exe   ", L""}, {L"", L""},
    };
    for (const auto& [line, file] : rows) EXPECT_EQ(FileFromCommandLine(line), file) << line;
}

// The editing area between the strips (never negative when minimised); a window off screen comes back.
TEST(Layout, EditAreaBetweenStripsAndPlacementOffScreen) {
    // 96 dpi: toolbar 22 px, status bar 18 px, gap 2 px.
    EXPECT_EQ(EditAreaRect(600, 400, 22, 18, 2), (LayoutRect{0, 24, 600, 358}));
    EXPECT_EQ(EditAreaRect(0, 0, 22, 18, 2), (LayoutRect{0, 24, 0, 0}));
    const LayoutRect work{0, 0, 1024, 738};
    EXPECT_EQ(FitInside({5000, 4000, 433, 433}, work), (LayoutRect{591, 305, 433, 433}));
    EXPECT_EQ(FitInside({-900, -50, 433, 433}, work), (LayoutRect{0, 0, 433, 433}));
    EXPECT_EQ(FitInside({67, 67, 433, 433}, work), (LayoutRect{67, 67, 433, 433}));
}

// The note's panel takes what the others leave; a note gets its room, the time and date giving first.
TEST(Layout, StatusPanelsMakeRoomForANote) {
    const std::vector<int> widths{130, 140, 0, 96, 113};
    for (auto [bar, note, edges] : {std::tuple{800, 0, std::vector<int>{321, 451, 591, 591, 687, -1}},
                                    {454, 0, {0, 130, 270, 270, 366, -1}},         // the time gives 25
                                    {454, 300, {300, 430, 454, 454, 454, -1}},     // the time and date all, the format 116
                                    {454, 900, {454, 454, 454, 454, 454, -1}},     // the whole bar, no more
                                    {0, 50, {0, 0, 0, 0, 0, -1}}})
        EXPECT_EQ(StatusEdges(bar, note, widths), edges) << bar << " " << note;
}

TEST(CompileCommandLine, QuotesTheBatchFileForAFolderWithSpacesOrADriveRoot) {
    for (auto [folder, batch] : {std::pair{L"C:\\Program Files\\Tavrin", L"C:\\Program Files\\Tavrin\\code\\compile.bat"},
                                 {L"D:", L"D:\\code\\compile.bat"}, {L"D:\\", L"D:\\code\\compile.bat"}}) {
        const CompileCommand c = MakeCompileCommand(folder, L"C:\\windows\\system32\\");
        EXPECT_EQ(c.batchPath, batch);
        EXPECT_NE(c.commandLine.find(L" /c \"\"" + std::wstring(batch) + L"\" hello.cpp\""), std::wstring::npos);
    }
}

TEST(Toolbar, AtStartOnlyPasteWaits) {
    std::wstring waiting;
    for (size_t i = 0; i < toolbar::kCount; ++i)
        if (const auto& p = toolbar::Positions()[i]; p.key && !p.hidden && !p.enabled) waiting += p.key;
    EXPECT_EQ(waiting, L"Paste");
}

}  // namespace

TEST(Zoom, ThePercentShown) {
    for (auto [base, level, percent] :
         {std::tuple{10.0, 0, 100}, {10.0, 2, 120}, {10.0, -10, 20}, {9.0, 1, 111}, {11.0, 20, 282}, {0.0, 3, 100}})
        EXPECT_EQ(zoom::Percent(base, level), percent) << base << " " << level;
}
