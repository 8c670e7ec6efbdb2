#include "mGetWinVer.h"

#ifdef _WIN32
#include <windows.h>
#endif

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

#ifdef _WIN32
bool QueryWinVersion(WinVersionRecord& v) {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    // Deprecated but exactly what the tests need; the manifest declares the releases we know.
    if (GetVersionExW(&info) != TRUE) return false;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    v.Major = static_cast<int32_t>(info.dwMajorVersion);
    v.Minor = static_cast<int32_t>(info.dwMinorVersion);
    v.Build = static_cast<int32_t>(info.dwBuildNumber);
    v.PlatformId = static_cast<int32_t>(info.dwPlatformId);
    return true;
}

namespace {
template <bool (*Test)(const WinVersionRecord&)>
bool OnThisSystem() {
    WinVersionRecord v;
    return QueryWinVersion(v) && Test(v);
}
}  // namespace

bool IsWin98() { return OnThisSystem<&IsWin98>(); }
bool IsWinME() { return OnThisSystem<&IsWinME>(); }
bool IsWin2000() { return OnThisSystem<&IsWin2000>(); }
bool IsWin2003Server() { return OnThisSystem<&IsWin2003Server>(); }
bool IsWinXP() { return OnThisSystem<&IsWinXP>(); }
bool IsWinVista() { return OnThisSystem<&IsWinVista>(); }
#endif
