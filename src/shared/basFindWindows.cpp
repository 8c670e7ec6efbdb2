#include "basFindWindows.h"

#include "TextConv.h"

#include <algorithm>

std::wstring SystemFolder;
int16_t SystemFolderLength = 0;

std::wstring SystemFolderFromBuffer(const std::wstring& buffer, size_t length) {
    std::wstring path = buffer.substr(0, std::min(length, buffer.size()));
    if (auto z = path.find(L'\0'); z != std::wstring::npos) path.resize(z);
    return TrimBlanks(path);
}
