#include "mGetWinVer.h"

bool IsWin98(const WinVersionRecord& v) {
    return v.PlatformId == kPlatformWindows && v.Major == 4 && v.Minor == 10 && v.Build >= 1998;
}
bool IsWinME(const WinVersionRecord& v) {
    return v.PlatformId == kPlatformWindows && v.Major == 4 && v.Minor == 90 && v.Build >= 3000;
}
bool IsWin2000(const WinVersionRecord& v) {
    return v.PlatformId == kPlatformNT && v.Major == 5 && v.Minor == 0 && v.Build >= 2195;
}
bool IsWin2003Server(const WinVersionRecord& v) {
    return v.PlatformId == kPlatformNT && v.Major == 5 && v.Minor == 2 && v.Build == 3790;
}
bool IsWinXP(const WinVersionRecord& v) {
    return v.PlatformId == kPlatformNT && v.Major == 5 && v.Minor == 1 && v.Build >= 2600;
}
bool IsWinVista(const WinVersionRecord& v) {
    return v.PlatformId == kPlatformNT && v.Major == 6;
}

const wchar_t* PlatformLine(const WinVersionRecord& v) {
    if (IsWin98(v)) return L"OS - Windows 98";
    if (IsWinME(v)) return L"OS - Windows ME";
    if (IsWin2000(v)) return L"OS - Windows 2000";
    if (IsWin2003Server(v)) return L"OS - Windows 2003 Server";
    if (IsWinXP(v)) return L"OS - Windows XP";
    if (IsWinVista(v)) return L"OS - Windows Vista";
    return L"Platform";
}
