#include "basFindWindows.h"

#include "TextConv.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#endif

std::wstring SystemFolder;
int16_t SystemFolderLength = 0;

std::wstring SystemFolderFromBuffer(const std::wstring& buffer, size_t length) {
    std::wstring path = buffer.substr(0, std::min(length, buffer.size()));
    if (auto z = path.find(L'\0'); z != std::wstring::npos) path.resize(z);
    return TrimBlanks(path);
}

#ifdef _WIN32
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
#endif
