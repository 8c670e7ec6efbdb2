// Helpers for Windows tests: scratch folders, files, the folder holding the built programs.
#pragma once
#include <windows.h>

#include <string>

namespace testenv {

// A new empty folder under the temp folder, removed with its contents at scope exit.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
private:
    std::wstring path_;
};

bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
void RemoveTree(const std::wstring& path);

// Folder of the built programs and fixtures (the test executable's own folder).
std::wstring BinDir();

// Pumps messages until pred() is true or the time is up; returns pred().
template <class Pred>
bool PumpUntil(Pred pred, DWORD timeoutMs = 5000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (pred()) return true;
        if (GetTickCount64() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace testenv
