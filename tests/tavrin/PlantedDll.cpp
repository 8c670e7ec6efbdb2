// Stands in for a system library planted beside a program: its start-up code leaves a marker file
// (its own path followed by ".loaded"), so a test sees whether it was ever loaded.
#include <windows.h>

#include <string>

#include "Raii.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH];
        const DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
        if (n > 0 && n < MAX_PATH)
            raii::File marker(CreateFileW((std::wstring(path) + L".loaded").c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}
