// Window-free shared code: conversions, version classification, twips, the error record.
#include <gtest/gtest.h>

#include <tuple>

#include "AppInfo.h"

#include "ErrRecord.h"
#include "TextConv.h"
#include "Twips.h"
#include "basFindWindows.h"
#include "mGetWinVer.h"
#include "mShellExecute.h"

namespace {

WinVersionRecord Ver(int platform, int major, int minor, int build) {
    WinVersionRecord v;
    v.PlatformId = platform, v.Major = major, v.Minor = minor, v.Build = build;
    return v;
}

TEST(SystemMessages, InsertsAreFilledWithTheNameOrANeutralWord) {
    const struct {
        const wchar_t* text;
        const wchar_t* name;
        const wchar_t* filled;
    } cases[] = {
        {L"Bad EXE format for %1.", L"C:\\t\\.dll", L"Bad EXE format for C:\\t\\.dll."},
        {L"%1 is not a valid Win32 application.", L"a.ocx", L"a.ocx is not a valid Win32 application."},
        {L"Bad EXE format for %1.", L"", L"Bad EXE format for (unnamed)."},
        {L"%1!s! and %2 and %10 and %99!lu!.", L"x", L"x and x and x and x."},
        {L"100%% done%n%0", L"x", L"100%% done%n%0"},  // escapes are not inserts
        {L"Ends in %", L"x", L"Ends in %"}, {L"Open format %1!s", L"x", L"Open format x!s"}, {L"No inserts.", L"x", L"No inserts."},
        {L"Name with %1 inside", L"%1", L"Name with %1 inside"},  // the name itself is not read again
    };
    for (const auto& c : cases) EXPECT_EQ(FillMessageInserts(c.text, c.name), c.filled) << c.text;
}

// Each row: the record, the one test that holds (0 = none) and the platform line.
TEST(WinVersion, ClassificationAtItsEdges) {
    using Test = bool (*)(const WinVersionRecord&);
    const Test tests[] = {nullptr, IsWin98, IsWinME, IsWin2000, IsWin2003Server, IsWinXP, IsWinVista};
    const struct {
        WinVersionRecord v;
        int holds;
        const wchar_t* line;
    } cases[] = {
        {Ver(1, 4, 10, 1998), 1, L"OS - Windows 98"}, {Ver(1, 4, 10, 1997), 0, L"Platform"},
        {Ver(2, 4, 10, 1998), 0, L"Platform"},         {Ver(1, 4, 90, 3000), 2, L"OS - Windows ME"},
        {Ver(1, 4, 90, 2999), 0, L"Platform"},         {Ver(2, 5, 0, 2195), 3, L"OS - Windows 2000"},
        {Ver(2, 5, 0, 2194), 0, L"Platform"},          {Ver(2, 5, 2, 3790), 4, L"OS - Windows 2003 Server"},
        {Ver(2, 5, 2, 3791), 0, L"Platform"},          {Ver(2, 5, 2, 3789), 0, L"Platform"},
        {Ver(2, 5, 1, 2600), 5, L"OS - Windows XP"},   {Ver(2, 5, 1, 2599), 0, L"Platform"},
        {Ver(2, 6, 0, 6000), 6, L"OS - Windows Vista"}, {Ver(2, 6, 1, 7601), 6, L"OS - Windows Vista"},
        {Ver(1, 6, 0, 6000), 0, L"Platform"},          {Ver(1, 4, 0, 950), 0, L"Platform"},
        {Ver(2, 4, 0, 1381), 0, L"Platform"},          {Ver(2, 10, 0, 19045), 0, L"Platform"},
    };
    for (const auto& c : cases) {
        const auto& v = c.v;
        for (int t = 1; t < 7; ++t)
            EXPECT_EQ(tests[t](v), t == c.holds) << t << ": " << v.PlatformId << " " << v.Major << "." << v.Minor
                                                 << "." << v.Build;
        EXPECT_STREQ(PlatformLine(v), c.line);
    }
}

// The system folder's buffer loses its terminator and blanks; twips at 96 and 144 dpi.
TEST(SystemFolderAndTwips, BufferLosesTerminatorAndBlanksAndTwipsConvertAt96And144Dpi) {
    const std::wstring buf = L"C:\\WINDOWS\\system32" + std::wstring(1, L'\0') + std::wstring(100, L' ');
    EXPECT_EQ(SystemFolderFromBuffer(buf, buf.size()), L"C:\\WINDOWS\\system32");
    const std::wstring longPath = L"D:\\" + std::wstring(300, L'x');
    EXPECT_EQ(SystemFolderFromBuffer(longPath, longPath.size()), longPath);
    // Under half a pixel (7 twips at 96 dpi) is none; half a pixel and more rounds up.
    for (auto [twips, dpi, pixels] : {std::tuple{1440, 96, 96}, {6810, 96, 454}, {6810, 144, 681}, {7, 96, 0}, {8, 96, 1}})
        EXPECT_EQ(TwipsToPixels(twips, dpi), pixels) << twips << " " << dpi;
    EXPECT_EQ(PixelsToTwips(681, 144), 6810);
    EXPECT_EQ(PointsToPixels(9, 144), 18);
}

TEST(ErrorRecord, RaiseCarriesNumberSourceAndDescription) {
    try {
        RaiseError(static_cast<int32_t>(0x80040419), L"Pellamy.cResources", L"Cannot load");
        FAIL() << "no throw";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), static_cast<int32_t>(0x80040419));
        EXPECT_EQ(e.Source(), L"Pellamy.cResources");
        EXPECT_EQ(e.Description(), L"Cannot load");
    }
    EXPECT_EQ(Err().Number, static_cast<int32_t>(0x80040419));
    RecordError(9, L"x.y", L"Subscript out of range");
    EXPECT_EQ(UnhandledErrorText(Err()), L"Run-time error '9':\r\n\r\nSubscript out of range");
    Err().Clear();
    EXPECT_EQ(Err().Number, 0);
}

// Round trips with surrogate pairs; invalid UTF-8 is detected and replaced.
TEST(TextConv, Utf8RoundTripsAndWhatIsNotValidIsReplaced) {
    // Code units written out: wchar_t is 32-bit on Linux, and the strings hold UTF-16 everywhere.
    const std::wstring w{L'a', 0xE9, 0x4E2D, 0xD83D, 0xDE00, L'z'};
    const std::string u = WideToUtf8(w);
    EXPECT_EQ(u, "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z");
    EXPECT_TRUE(ValidUtf8(u) && ValidUtf8("") && Utf8ToWide(u) == w);
    EXPECT_TRUE(ValidUtf8("\xE0\xA0\x80") && !ValidUtf8("\xE0\x9F\xBF"));  // the first three-byte character; an overlong one
    // Units counted without decoding, and back to bytes, with characters across every 16-byte block
    // boundary; a place inside a pair rounds up to its end.
    std::string text;
    for (int i = 0; i < 40; ++i) text += std::string(static_cast<size_t>(i % 7), 'x') + u;
    const std::wstring wide = Utf8ToWide(text);
    for (size_t units = 0, bytes = 0; units <= wide.size(); ++units) {
        while (bytes < text.size() && (Utf8ToWide(text.substr(0, bytes)).size() < units || (text[bytes] & 0xC0) == 0x80)) ++bytes;
        ASSERT_EQ(BytesOfUnits(text, units), bytes) << units;
        ASSERT_EQ(Utf16Units(text.substr(0, bytes)), Utf8ToWide(text.substr(0, bytes)).size()) << bytes;
    }
    for (std::string bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "ab\xFF"})
        EXPECT_TRUE(!ValidUtf8(bad) && Utf8ToWide(bad).find(L'\uFFFD') != std::wstring::npos) << bad.size();
    EXPECT_TRUE(ValidUtf8("\xF4\x8F\xBF\xBF"));  // the last character there is
    // A lone half is replaced; the pair at the top of both halves' ranges is the last character there
    // is (a private-use one); a high half before anything but a low half stands alone, the next unit kept.
    for (auto [w, u] : {std::pair{L"\xD800x\xDFFF", "\xEF\xBF\xBD" "x" "\xEF\xBF\xBD"}, {L"\xD800\xDC00", "\xF0\x90\x80\x80"},
                        {L"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF"}, {L"\xD83D" L"A", "\xEF\xBF\xBD" "A"}})
        EXPECT_EQ(WideToUtf8(w), u);
    // A high half that ends the text stands alone, whatever follows it in memory.
    const std::wstring pair{L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0xDC00)};
    EXPECT_EQ(WideToUtf8(std::wstring_view(pair).substr(0, 2)), "a\xEF\xBF\xBD");
}

// Parameters or a folder: the show command asked for, hidden for a name with ".EXE" anywhere in it;
// neither: a normal window.
TEST(ShellShowCommand, ExeAnywhereInTheNameHidesOnlyWithParametersOrDirectory) {
    const struct {
        const wchar_t *file, *params, *dir;
        int style, want;
    } rows[] = {{L"notes.txt", L"-x", L"", 3, 3},          {L"notes.exe.txt", L"-x", L"", 3, 0},
                {L"C:\\Tools\\Run.Exe", L"", L"C:\\", 1, 0}, {L"C:\\EXEcutables\\a.bat", L"a", L"", 5, 5},
                {L"C:\\Tools\\Run.Exe", L"", L"", 10, 1},   {L"x.txt", L"", L"D:\\work", 2, 2}};
    for (const auto& r : rows) EXPECT_EQ(ShellArgsFor(r.file, r.style, r.params, r.dir).showCommand, r.want) << r.file;
}

}  // namespace
