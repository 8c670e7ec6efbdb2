// Which Windows release the program runs on, one test at a time.
#pragma once
#include <cstdint>

// The fields of the platform's version record that the tests read.
struct WinVersionRecord {
    int32_t Major = 0;
    int32_t Minor = 0;
    int32_t Build = 0;
    int32_t PlatformId = 0;  // 1 = Windows 95 family, 2 = NT family
};

constexpr int32_t kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr int32_t kPlatformNT = 2;       // VER_PLATFORM_WIN32_NT

// Classification of a given record.
bool IsWin98(const WinVersionRecord& v);
bool IsWinME(const WinVersionRecord& v);
bool IsWin2000(const WinVersionRecord& v);
bool IsWin2003Server(const WinVersionRecord& v);
bool IsWinXP(const WinVersionRecord& v);
bool IsWinVista(const WinVersionRecord& v);

// The About box's platform line: the first test that holds, or "Platform".
const wchar_t* PlatformLine(const WinVersionRecord& v);

// Reads the running system's record; false when the call fails.
bool QueryWinVersion(WinVersionRecord& v);
// The same tests on the running system (false when the record cannot be read).
bool IsWin98();
bool IsWinME();
bool IsWin2000();
bool IsWin2003Server();
bool IsWinXP();
bool IsWinVista();
