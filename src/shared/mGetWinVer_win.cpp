#include "mGetWinVer.h"

#include <windows.h>

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
