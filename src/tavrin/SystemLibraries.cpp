#include "SystemLibraries.h"

#include <string>

namespace syslib {

namespace {

template <class F>
bool Bind(HMODULE m, const char* name, F& f) {
    f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name)));
    return f != nullptr;
}

}  // namespace

void RestrictDllSearch() {
    // Looked up, not imported: the call is missing on systems without the search-path update.
    using SetDirs = BOOL(WINAPI*)(DWORD);
    if (HMODULE k = GetModuleHandleW(L"kernel32.dll")) {
        SetDirs set = nullptr;
        if (Bind(k, "SetDefaultDllDirectories", set)) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (HMODULE m = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return m;
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    // A system without the search flags: the full path says the same.
    wchar_t dir[MAX_PATH];
    const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(dir) + L"\\" + name).c_str());
}

const WinInet* WinInetApi() {
    static const WinInet* api = [] () -> const WinInet* {
        static WinInet w;
        HMODULE m = LoadSystemLibrary(L"wininet.dll");
        if (!m) return nullptr;
        const bool all = Bind(m, "InternetOpenW", w.InternetOpenW) && Bind(m, "InternetSetOptionW", w.InternetSetOptionW) &&
                         Bind(m, "InternetOpenUrlW", w.InternetOpenUrlW) && Bind(m, "HttpQueryInfoW", w.HttpQueryInfoW) &&
                         Bind(m, "InternetReadFile", w.InternetReadFile) &&
                         Bind(m, "InternetCloseHandle", w.InternetCloseHandle) &&
                         Bind(m, "InternetCrackUrlW", w.InternetCrackUrlW);
        return all ? &w : nullptr;
    }();
    return api;
}

const WinSpool* WinSpoolApi() {
    static const WinSpool* api = [] () -> const WinSpool* {
        static WinSpool w;
        HMODULE m = LoadSystemLibrary(L"winspool.drv");
        if (!m) return nullptr;
        const bool all = Bind(m, "GetDefaultPrinterW", w.GetDefaultPrinterW) && Bind(m, "EnumPrintersW", w.EnumPrintersW);
        return all ? &w : nullptr;
    }();
    return api;
}

}  // namespace syslib
