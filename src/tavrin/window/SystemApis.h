// The editor's functions of wininet.dll and winspool.drv, loaded from the system folder at first
// use instead of being imported at load time: a DLL of the same name placed beside the program is
// never picked up.
#pragma once
#include <windows.h>
#include <wininet.h>
#include <winspool.h>

#include "SystemLibraries.h"

namespace syslib {

// The functions used from wininet.dll; null when the library or a function is missing.
struct WinInet {
    decltype(&::InternetOpenW) InternetOpenW = nullptr;
    decltype(&::InternetSetOptionW) InternetSetOptionW = nullptr;
    decltype(&::InternetOpenUrlW) InternetOpenUrlW = nullptr;
    decltype(&::HttpQueryInfoW) HttpQueryInfoW = nullptr;
    decltype(&::InternetReadFile) InternetReadFile = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
    decltype(&::InternetCrackUrlW) InternetCrackUrlW = nullptr;
};
const WinInet* WinInetApi();

// The functions used from winspool.drv; null when the library or a function is missing.
struct WinSpool {
    decltype(&::GetDefaultPrinterW) GetDefaultPrinterW = nullptr;
    decltype(&::EnumPrintersW) EnumPrintersW = nullptr;
};
const WinSpool* WinSpoolApi();

}  // namespace syslib
