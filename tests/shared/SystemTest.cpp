// System lookups and resource owners against the real platform.
#include <gtest/gtest.h>

#include "AppInfo.h"
#include "Raii.h"
#include "TextConv.h"
#include "basFindWindows.h"
#include "mGetWinVer.h"

namespace {

TEST(SystemLookups, SystemFolderVersionAndProgramInfo) {
    SystemFolder.clear();
    ASSERT_TRUE(FindSystemFolder());
    EXPECT_EQ(static_cast<size_t>(SystemFolderLength), SystemFolder.size());
    wchar_t expected[MAX_PATH];
    GetSystemDirectoryW(expected, MAX_PATH);
    EXPECT_EQ(SystemFolder, expected);  // no terminator, blanks or backslash after it
    WinVersionRecord v;
    ASSERT_TRUE(QueryWinVersion(v));
    EXPECT_EQ(v.PlatformId, kPlatformNT);
    EXPECT_EQ(IsWinVista(), IsWinVista(v));
    EXPECT_FALSE(IsWin98());
    EXPECT_EQ(ExePath(), ProgramFolder() + L"\\shared_win_tests.exe");
    EXPECT_EQ(ExeName(), L"shared_win_tests");
}

TEST(ResourceOwners, ReleaseOnScopeExitAndMove) {
    HANDLE raw;
    DWORD flags;
    {
        raii::Handle ev(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        raw = ev.get();
        raii::Handle moved(std::move(ev));
        EXPECT_FALSE(ev);
        EXPECT_TRUE(GetHandleInformation(moved.get(), &flags));
    }
    EXPECT_FALSE(GetHandleInformation(raw, &flags));  // closed
    raii::File none(CreateFileW(L"Z:\\no\\such\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(none);  // INVALID_HANDLE_VALUE counts as empty
}

}  // namespace
