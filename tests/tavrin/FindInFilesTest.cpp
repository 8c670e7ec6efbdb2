// Find in Files without a window: the walk over a real folder tree and the result lines.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <string>

#include "FindInFiles.h"
#include "TextConv.h"
#include "TextReplace.h"

namespace {

namespace fs = std::filesystem;

// Paths past 260 characters need the \\?\ form where the separator is a backslash.
fs::path Long(const fs::path& p) {
    if (fs::path::preferred_separator != L'\\') return p;
    return fs::path(L"\\\\?\\" + p.wstring());
}

void Write(const fs::path& p, const std::string& bytes) {
    fs::create_directories(Long(p.parent_path()));
    std::ofstream(Long(p), std::ios::binary) << bytes;
}

class FindInFilesWalk : public ::testing::Test {
protected:
    fs::path root = fs::temp_directory_path() / ("fif-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    bool linked = false;   // the host made the folder link that loops back
    fs::path longFile;

    void SetUp() override {
        std::error_code ec;
        fs::remove_all(root, ec);
        Write(root / "a.cpp", "int needle = 1;\r\n");
        Write(root / "b.txt", "one\rneedle two\nthree needle needle\r\n");
        Write(root / "c.cpp", std::string("\xFFneedle\0binary", 14));  // no UTF-16 mark: binary
        Write(root / "u.h", std::string("\xFF\xFE" "n\0e\0e\0d\0l\0e\0", 14));  // UTF-16 with its mark
        Write(root / "sub" / "d.h", "// needle\n");
        Write(root / "sub" / "e.py", "needle\n");  // not among the types
        fs::path deep = root / "sub";
        for (int i = 0; i < 6; ++i) deep /= std::string(50, static_cast<char>('k' + i));
        longFile = deep / "long.cpp";
        Write(longFile, "x needle\n");
        fs::create_directory_symlink(root, root / "sub" / "loop", ec);  // a junction back to the top
        linked = !ec;
        fs::create_symlink(root / "gone.cpp", root / "dangling.cpp", ec);  // cannot be read
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    findfiles::Totals Run(bool subfolders, std::vector<std::wstring>& lines) {
        std::wstring error;
        const auto pattern = search::Pattern::Make({L"needle", true, false, false}, error);
        const std::atomic<bool> stop{false};
        const auto take = [&](std::vector<findfiles::Hit>&& hits) {
            std::wstring joined;
            for (const auto& h : hits) {
                lines.push_back(findfiles::ResultLine(h));
                joined += (joined.empty() ? L"" : L"\n") + lines.back();
            }
            // The pane's UTF-8 form of the same lines.
            EXPECT_EQ(findfiles::ResultLinesUtf8(hits), WideToUtf8(joined));
        };
        const findfiles::Request request{root.wstring(), findfiles::SplitTypes(findfiles::kDefaultTypes), subfolders};
        return findfiles::Search(*findfiles::SystemFileSystem(), request, *pattern, take, stop);
    }
};

TEST_F(FindInFilesWalk, TypesSubfoldersBinaryLoopsLongPathsAndUnreadableFiles) {
    std::vector<std::wstring> lines;
    const findfiles::Totals all = Run(true, lines);
    // Matches: a.cpp 1, b.txt 3, u.h 1, d.h 1, long.cpp 1; then files with matches, searched, binary, loops.
    EXPECT_EQ((std::vector<size_t>{all.matches, all.filesWithMatches, all.searched, all.binary, all.loops}),
              (std::vector<size_t>{7, 5, 5, 1, linked ? 1u : 0u}));
    if (fs::is_symlink(root / "dangling.cpp")) {
        EXPECT_EQ(all.unreadable, 1u);
    }
    EXPECT_GT(longFile.wstring().size(), 300u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), longFile.wstring() + L"(1,3): x needle"), lines.end());
    const std::wstring b = (root / "b.txt").wstring();
    for (const std::wstring& want : {b + L"(2,1): needle two", b + L"(3,7): three needle needle", b + L"(3,14): three needle needle"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), want), lines.end()) << want;

    const findfiles::Totals top = Run(false, lines);
    EXPECT_EQ(std::pair(top.matches, top.loops), std::pair(size_t{5}, size_t{0}));
}

// The system's table, with the Kelvin sign folding into k wherever the tests run.
wchar_t KelvinFold(wchar_t c) { return c == 0x212A ? L'k' : textreplace::SystemFold(c); }

TEST(FindInFiles, AFileFindsWhatFindFindsInTheTextOpenMakesOfItAndTheTypesAndSummary) {
    struct Row {
        std::string bytes;
        const wchar_t* what;
        bool matchCase, wholeWord, regex;
        const wchar_t* want;  // "line,column:text" of each hit, joined by |
    } rows[] = {
        {"Int x;\r\nint y; INT\n", L"int", false, false, false, L"1,1:Int x;|2,1:int y; INT|2,8:int y; INT"},
        {"\xF0\x9F\x98\x80 a\xC3\xA9" "b x\n", L"x", true, false, false, L"1,8:\xD83D\xDE00 a\u00e9" L"b x"},  // UTF-16 columns
        {"\xC3\xA9 x \xF0\x9F\x98\x80 x\n", L"x", true, false, false, L"1,3:\u00e9 x \xD83D\xDE00 x|1,8:\u00e9 x \xD83D\xDE00 x"},
        {"\xC3\xA9x x_ x\n", L"x", true, true, false, L"1,7:\u00e9x x_ x"},  // \u00e9 is a letter
        {"\xE2\x84\xAAit kit\n", L"KIT", false, false, false, L"1,1:\u212Ait kit|1,5:\u212Ait kit"},
        {"\xEF\xBB\xBFx\n", L"x", true, false, false, L"1,1:x"},
        {std::string("\xFF\xFEx\0\r\0\n\0\xE9\0x\0", 12), L"x", true, false, false, L"1,1:x|2,2:\u00e9x"},
        {"caf\xE9 x\n", L"x", true, false, false, L"1,6:caf\u00e9 x"},  // ANSI (Latin-1 on the host)
        {"\xC3\xA9 \xC3\x89\n", L"\u00c9", false, false, false, L"1,1:\u00e9 \u00c9|1,3:\u00e9 \u00c9"},
        {"ab\r\ncd\rcx", L"^c.", true, false, true, L"2,1:cd|3,1:cx"},
        {"Int x;\r\nmint INT\n", L"in\\w", false, true, true, L"1,1:Int x;|2,6:mint INT"},
        {"\xC3\xA9 int\n", L"i\\w+", true, false, true, L"1,3:\u00e9 int"},
        {std::string("x\0y", 3), L"x", true, false, false, L"binary"},
        {std::string("x\xFF\0x", 4), L"x", true, false, false, L"binary"},  // half a UTF-16 mark is no mark
    };
    for (const Row& r : rows) {
        std::wstring error;
        const auto pattern = search::Pattern::Make({r.what, r.matchCase, r.wholeWord, r.regex, KelvinFold}, error);
        findfiles::FileHits file(*pattern);
        std::vector<findfiles::Hit> hits;
        std::wstring got = file.In(L"f", r.bytes, hits) ? L"" : L"binary";
        for (const auto& h : hits)
            got += (got.empty() ? L"" : L"|") + std::to_wstring(h.line) + L"," + std::to_wstring(h.column) + L":" + *h.text;
        EXPECT_EQ(got, r.want) << r.bytes;
    }
    // The types and the summary line.
    const auto types = findfiles::SplitTypes(L" *.c; *.CPP ;;x?.h");
    EXPECT_EQ(types, (std::vector<std::wstring>{L"*.c", L"*.CPP", L"x?.h"}));
    for (auto [name, want] : {std::pair{L"a.c", true}, {L"a.cpp", true}, {L"A.Cpp", true}, {L"a.cc", false}, {L"xy.h", true},
                              {L"xyz.h", false}, {L"c", false}})
        EXPECT_EQ(findfiles::NameMatches(name, types), want) << name;
    EXPECT_TRUE(findfiles::NameMatches(L"a.c", {}));  // no types: every file
    EXPECT_TRUE(findfiles::NameMatches(L"OLD.Z", {L"*.z"}));
    findfiles::Totals t;
    t.matches = 3, t.filesWithMatches = 2, t.searched = 9, t.binary = 1, t.loops = 2;
    EXPECT_EQ(findfiles::SummaryLine(t, 0.25),
              L"3 matches in 2 files of 9 searched (0.25 s); skipped: 1 binary, 2 folders reached again through a junction");
}

}  // namespace
