// Window-free shared code: conversions, version classification, twips, the error record.
#include <gtest/gtest.h>

#include "ErrRecord.h"
#include "TextConv.h"
#include "Twips.h"
#include "basFindWindows.h"
#include "mGetWinVer.h"

namespace {

WinVersionRecord Ver(int platform, int major, int minor, int build) {
    WinVersionRecord v;
    v.PlatformId = platform;
    v.Major = major;
    v.Minor = minor;
    v.Build = build;
    return v;
}

TEST(WinVersion, Windows98NeedsBuild1998OnThe95Platform) {
    EXPECT_TRUE(IsWin98(Ver(1, 4, 10, 1998)));
    EXPECT_TRUE(IsWin98(Ver(1, 4, 10, 2222)));
    EXPECT_FALSE(IsWin98(Ver(1, 4, 10, 1997)));
    EXPECT_FALSE(IsWin98(Ver(2, 4, 10, 1998)));
    EXPECT_STREQ(PlatformLine(Ver(1, 4, 10, 1997)), L"Platform");
    EXPECT_STREQ(PlatformLine(Ver(1, 4, 10, 1998)), L"OS - Windows 98");
}

TEST(WinVersion, Version4_0AndUnknownReleasesSatisfyNoTest) {
    for (auto v : {Ver(1, 4, 0, 950), Ver(2, 4, 0, 1381), Ver(2, 10, 0, 19045), Ver(2, 11, 0, 1), Ver(0, 0, 0, 0)}) {
        EXPECT_FALSE(IsWin98(v) || IsWinME(v) || IsWin2000(v) || IsWin2003Server(v) || IsWinXP(v) || IsWinVista(v));
        EXPECT_STREQ(PlatformLine(v), L"Platform");
    }
}

TEST(WinVersion, MeTwoThousandAndXpUseMinimumBuilds) {
    EXPECT_TRUE(IsWinME(Ver(1, 4, 90, 3000)));
    EXPECT_FALSE(IsWinME(Ver(1, 4, 90, 2999)));
    EXPECT_TRUE(IsWin2000(Ver(2, 5, 0, 2195)));
    EXPECT_FALSE(IsWin2000(Ver(2, 5, 0, 2194)));
    EXPECT_TRUE(IsWinXP(Ver(2, 5, 1, 2600)));
    EXPECT_FALSE(IsWinXP(Ver(2, 5, 1, 2599)));
    EXPECT_STREQ(PlatformLine(Ver(1, 4, 90, 3000)), L"OS - Windows ME");
    EXPECT_STREQ(PlatformLine(Ver(2, 5, 0, 2195)), L"OS - Windows 2000");
    EXPECT_STREQ(PlatformLine(Ver(2, 5, 1, 2600)), L"OS - Windows XP");
}

TEST(WinVersion, Server2003IsExactlyBuild3790) {
    EXPECT_TRUE(IsWin2003Server(Ver(2, 5, 2, 3790)));
    EXPECT_FALSE(IsWin2003Server(Ver(2, 5, 2, 3791)));
    EXPECT_FALSE(IsWin2003Server(Ver(2, 5, 2, 3789)));
    EXPECT_STREQ(PlatformLine(Ver(2, 5, 2, 3790)), L"OS - Windows 2003 Server");
    EXPECT_STREQ(PlatformLine(Ver(2, 5, 2, 4000)), L"Platform");
}

TEST(WinVersion, AnySixOnNtCountsAsVista) {
    EXPECT_TRUE(IsWinVista(Ver(2, 6, 0, 6000)));
    EXPECT_TRUE(IsWinVista(Ver(2, 6, 1, 7601)));
    EXPECT_TRUE(IsWinVista(Ver(2, 6, 3, 9600)));
    EXPECT_FALSE(IsWinVista(Ver(1, 6, 0, 6000)));
    EXPECT_STREQ(PlatformLine(Ver(2, 6, 1, 7601)), L"OS - Windows Vista");
}

TEST(SystemFolder, BufferLosesTerminatorAndBlanks) {
    std::wstring buf = L"C:\\WINDOWS\\system32";
    buf.push_back(L'\0');
    buf.append(100, L' ');
    EXPECT_EQ(SystemFolderFromBuffer(buf, 19), L"C:\\WINDOWS\\system32");
    EXPECT_EQ(SystemFolderFromBuffer(buf, buf.size()), L"C:\\WINDOWS\\system32");
    std::wstring longPath = L"D:\\" + std::wstring(300, L'x');
    EXPECT_EQ(SystemFolderFromBuffer(longPath, longPath.size()).size(), 303u);
}

TEST(Twips, ConvertAt96And144Dpi) {
    EXPECT_EQ(TwipsToPixels(1440, 96), 96);
    EXPECT_EQ(TwipsToPixels(15, 96), 1);
    EXPECT_EQ(TwipsToPixels(6810, 96), 454);
    EXPECT_EQ(TwipsToPixels(6810, 144), 681);
    EXPECT_EQ(TwipsToPixels(360, 144), 36);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);   // under half a pixel
    EXPECT_EQ(TwipsToPixels(8, 96), 1);   // half a pixel and more rounds up
    EXPECT_EQ(TwipsToPixels(-15, 96), -1);
    EXPECT_EQ(PixelsToTwips(454, 96), 6810);
    EXPECT_EQ(PixelsToTwips(681, 144), 6810);
    EXPECT_EQ(PointsToPixels(8.25, 96), 11);
    EXPECT_EQ(PointsToPixels(9, 144), 18);
}

TEST(ErrorRecord, RaiseCarriesNumberSourceAndDescription) {
    Err().Clear();
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
    EXPECT_EQ(Err().Number, 9);
    EXPECT_EQ(Err().Source, L"x.y");
    EXPECT_EQ(UnhandledErrorText(Err()), L"Run-time error '9':\r\n\r\nSubscript out of range");
    Err().Clear();
    EXPECT_EQ(Err().Number, 0);
    EXPECT_TRUE(Err().Description.empty());
}

TEST(TextConv, Utf8RoundTripsIncludingSurrogatePairs) {
    // Code units written out: wchar_t is 32-bit on Linux, and the strings hold UTF-16 everywhere.
    const std::wstring w{L'a', 0xE9, 0x4E2D, 0xD83D, 0xDE00, L'z'};
    const std::string u = WideToUtf8(w);
    EXPECT_EQ(u, "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z");
    EXPECT_TRUE(ValidUtf8(u));
    EXPECT_EQ(Utf8ToWide(u), w);
}

TEST(TextConv, InvalidUtf8IsDetectedAndReplaced) {
    for (std::string bad : {"\xC0\xAF", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "\x80", "ab\xFF"}) {
        EXPECT_FALSE(ValidUtf8(bad)) << bad.size();
        EXPECT_NE(Utf8ToWide(bad).find(L'\uFFFD'), std::wstring::npos);
    }
    EXPECT_TRUE(ValidUtf8(""));
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(TextConv, TrimAndUpper) {
    EXPECT_EQ(TrimBlanks(L"  a b  "), L"a b");
    EXPECT_EQ(TrimBlanks(L"   "), L"");
    EXPECT_EQ(UpperAscii(L"c:\\Windows\\\u00e9"), L"C:\\WINDOWS\\\u00e9");
}

}  // namespace
