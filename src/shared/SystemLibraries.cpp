#include "SystemLibraries.h"

#include <string>

namespace syslib {

namespace {
HMODULE Kernel() { return GetModuleHandleW(L"kernel32.dll"); }
}  // namespace

void RestrictLibrarySearch() {
    SetDllDirectoryW(L"");  // takes the current folder out of the search where the call below is missing
    // Present from Windows 8 on, and on Windows 7 with its update; looked up so older systems still start.
    using SetDefaultFn = BOOL(WINAPI*)(DWORD);
    SetDefaultFn set = nullptr;
    if (HMODULE kernel = Kernel(); kernel && Bind(kernel, "SetDefaultDllDirectories", set))
        set(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS);
}

DllDirectory AddSearchFolder(const std::wstring& folder) {
    using AddFn = void*(WINAPI*)(PCWSTR);
    AddFn add = nullptr;
    if (HMODULE kernel = Kernel(); kernel && Bind(kernel, "AddDllDirectory", add))
        return DllDirectory(add(folder.c_str()));
    return DllDirectory();
}

void DllDirectoryTraits::Close(void* cookie) {
    using RemoveFn = BOOL(WINAPI*)(void*);
    RemoveFn remove = nullptr;
    if (HMODULE kernel = Kernel(); kernel && Bind(kernel, "RemoveDllDirectory", remove)) remove(cookie);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // A system without the search flags: the full path in the system folder.
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(folder, n) + L"\\" + name).c_str());
}

}  // namespace syslib
