// Every file of a folder through the editing control and back: prints how many came back byte
// identical, how many the user would have been told about before saving, and any other (a fault).
//   RoundTrip <folder>
#include <windows.h>

#include <cstdio>
#include <string>

#include "FileEncoding.h"
#include "EditArea.h"
#include "SafeSave.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    editarea::RegisterWindowClass();
    HWND top = CreateWindowExW(0, L"STATIC", L"rt", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    HWND edit = editarea::Create(top, 1);
    const std::wstring dir = argv[1];
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 1;
    int same = 0, told = 0, bad = 0;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring path = dir + L"\\" + fd.cFileName;
        std::string bytes;
        unsigned long e = 0;
        if (!safesave::ReadAll(path, bytes, e)) continue;
        const docfile::Decoded d = docfile::Decode(bytes);
        editarea::SetUtf8(edit, d.text);
        const std::string saved = docfile::Encode(editarea::StoredText(edit), d.format);
        if (saved == bytes) ++same;
        else if (d.changes.Any()) {
            ++told;
            wprintf(L"told: %ls\n", fd.cFileName);
        }
        else {
            ++bad;
            wprintf(L"CHANGED WITHOUT A WORD: %ls\n", fd.cFileName);
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    wprintf(L"%ls\tidentical %d\ttold %d\tsilently changed %d\n", dir.c_str(), same, told, bad);
    return bad ? 1 : 0;
}
