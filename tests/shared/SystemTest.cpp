// System lookups and resource owners against the real platform.
#include <gtest/gtest.h>

#include "AppInfo.h"
#include "Raii.h"
#include "TextConv.h"
#include "basFindWindows.h"
#include "mGetWinVer.h"

namespace {

TEST(SystemFolderLookup, ComesBackWithoutTerminatorOrBlanks) {
    SystemFolder.clear();
    SystemFolderLength = 0;
    ASSERT_TRUE(FindSystemFolder());
    ASSERT_FALSE(SystemFolder.empty());
    EXPECT_EQ(static_cast<size_t>(SystemFolderLength), SystemFolder.size());
    EXPECT_EQ(SystemFolder.find(L'\0'), std::wstring::npos);
    EXPECT_NE(SystemFolder.back(), L' ');
    EXPECT_NE(SystemFolder.back(), L'\\');
    wchar_t expected[MAX_PATH];
    GetSystemDirectoryW(expected, MAX_PATH);
    EXPECT_EQ(SystemFolder, expected);
    DWORD attrs = GetFileAttributesW(SystemFolder.c_str());
    EXPECT_TRUE(attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY));
}

TEST(WinVersionOnThisSystem, TestsAgreeWithTheRecord) {
    WinVersionRecord v;
    ASSERT_TRUE(QueryWinVersion(v));
    EXPECT_EQ(v.PlatformId, kPlatformNT);
    EXPECT_EQ(IsWinVista(), IsWinVista(v));
    EXPECT_EQ(IsWinXP(), IsWinXP(v));
    EXPECT_FALSE(IsWin98());
    EXPECT_FALSE(IsWinME());
}

TEST(ProgramInfo, NameAndFolderOfTheRunningExecutable) {
    EXPECT_EQ(ExeName(), L"shared_win_tests");
    EXPECT_FALSE(ProgramFolder().empty());
    EXPECT_NE(ProgramFolder().back(), L'\\');
    EXPECT_EQ(ExePath(), ProgramFolder() + L"\\shared_win_tests.exe");
    EXPECT_FALSE(SystemErrorText(ERROR_FILE_NOT_FOUND).empty());
}

TEST(ResourceOwners, ReleaseOnScopeExitAndMove) {
    HANDLE raw;
    {
        raii::Handle ev(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(ev);
        raw = ev.get();
        raii::Handle moved(std::move(ev));
        EXPECT_FALSE(ev);
        EXPECT_EQ(moved.get(), raw);
        DWORD flags;
        EXPECT_TRUE(GetHandleInformation(raw, &flags));
    }
    DWORD flags;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));  // closed

    raii::File none(CreateFileW(L"Z:\\no\\such\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(none);  // INVALID_HANDLE_VALUE counts as empty

    raii::RegKey key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), ERROR_SUCCESS);
    EXPECT_TRUE(key);

    raii::Module mod(LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    EXPECT_TRUE(mod);
    {
        raii::ComInit com;
        EXPECT_TRUE(SUCCEEDED(com.result()));
    }
}

TEST(AnsiConversion, ReportsCharactersTheCodePageLacks) {
    bool lossy = true;
    EXPECT_EQ(WideToAnsi(L"abc", &lossy, 1252), "abc");
    EXPECT_FALSE(lossy);
    EXPECT_EQ(WideToAnsi(L"\u00e9", &lossy, 1252), "\xE9");
    EXPECT_FALSE(lossy);
    WideToAnsi(L"\u4e2d", &lossy, 1252);
    EXPECT_TRUE(lossy);
    EXPECT_EQ(AnsiToWide("\xE9", 1252), L"\u00e9");
}

}  // namespace
