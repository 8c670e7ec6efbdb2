#include "basFindWindows.h"

#include <windows.h>

#include <algorithm>

bool FindSystemFolder() {
    // Start with the usual size and grow to what the call asks for: long paths never fail.
    std::wstring buffer(MAX_PATH, L' ');
    for (;;) {
        UINT n = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (n == 0) return false;
        if (n < buffer.size()) {
            SystemFolder = SystemFolderFromBuffer(buffer, n);
            SystemFolderLength = static_cast<int16_t>(std::min<size_t>(SystemFolder.size(), 32767));
            return true;
        }
        buffer.assign(n + 1, L' ');
    }
}
