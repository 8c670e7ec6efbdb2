// Helpers for Windows tests: scratch folders, files, the folder holding the built programs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "Raii.h"

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

// Whether the key opens for reading (view: 0, KEY_WOW64_32KEY or KEY_WOW64_64KEY).
bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0);

// A drop of Explorer files (DROPFILES, wide names, double-NUL ended), for WM_DROPFILES.
HGLOBAL DropFiles(const std::vector<std::wstring>& files);

// Folder of the built programs and fixtures (the test executable's own folder).
std::wstring BinDir();
// The system folder (cmd.exe, reg.exe, the system libraries).
std::wstring SystemFolder();

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

// A program started for a test, `args` after its quoted name; ended at scope exit if it still runs.
class Process {
public:
    Process(const std::wstring& exe, const std::wstring& args, const wchar_t* cwd = nullptr);
    ~Process();
    DWORD Id() const { return id_; }
    // Its first visible top-level window of class `cls` and caption `caption` (null: any), waited for.
    HWND Window(const wchar_t* cls, const wchar_t* caption, DWORD timeoutMs) const;
    // Its exit status; -1 when it did not end within the time (it is ended then).
    long Wait(DWORD timeoutMs = 20000);

private:
    raii::Handle process_;
    DWORD id_ = 0;
};

// The program started with `args` in `cwd` shows a visible top-level window captioned `caption`
// and ends when that is closed.
bool ShowsAndCloses(const std::wstring& exe, const std::wstring& args, const std::wstring& caption,
                    const wchar_t* cwd = nullptr);

}  // namespace testenv
