// Helpers for Windows tests: scratch folders, files, the folder holding the built programs.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "AppInfo.h"
#include "Raii.h"

namespace testenv {

inline void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    raii::FindHandle h(FindFirstFileW((path + L"\\*").c_str(), &fd));
    if (h) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = path + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(h.get(), &fd));
    }
    h.reset();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
}

// A new empty folder under the temp folder, removed with its contents at scope exit.
class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        path_ = std::wstring(tmp) + L"tvt_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(counter++) + L"_" + std::to_wstring(GetTickCount64());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempDir() { RemoveTree(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
private:
    std::wstring path_;
};

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    raii::File f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return f && WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
}

inline std::string ReadBytes(const std::wstring& path) {
    raii::File f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             0, nullptr));
    if (!f) return {};
    LARGE_INTEGER size{};
    GetFileSizeEx(f.get(), &size);
    std::string out(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!out.empty()) ReadFile(f.get(), out.data(), static_cast<DWORD>(out.size()), &read, nullptr);
    out.resize(read);
    return out;
}

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Whether the key opens for reading (view: 0, KEY_WOW64_32KEY or KEY_WOW64_64KEY).
inline bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0) {
    raii::RegKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

// A drop of Explorer files (DROPFILES, wide names, double-NUL ended), for WM_DROPFILES.
inline HGLOBAL DropFiles(const std::vector<std::wstring>& files) {
    std::wstring names;
    for (const std::wstring& p : files) names += p + L'\0';
    HGLOBAL g = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* df = static_cast<DROPFILES*>(GlobalLock(g));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    std::memcpy(df + 1, names.c_str(), names.size() * sizeof(wchar_t));
    GlobalUnlock(g);
    return g;
}

// Folder of the built programs and fixtures (the test executable's own folder).
inline std::wstring BinDir() { return ProgramFolder(); }
// The system folder (cmd.exe, reg.exe, the system libraries).
inline std::wstring SystemFolder() {
    wchar_t sys[MAX_PATH] = {};
    return std::wstring(sys, GetSystemDirectoryW(sys, MAX_PATH));
}

// Pumps messages until pred() is true or the time is up; returns pred(). A window that posts
// itself messages without end fails the wait rather than hanging it.
template <class Pred>
bool PumpUntil(Pred pred, DWORD timeoutMs = 5000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (GetTickCount64() <= end && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
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
    Process(const std::wstring& exe, const std::wstring& args, const wchar_t* cwd = nullptr) {
        std::wstring cmd = L"\"" + exe + L"\" " + args;
        STARTUPINFOW si{sizeof(si)};
        PROCESS_INFORMATION pi{};
        // A start refused for a passing reason (seen once under Wine on a loaded machine) is tried
        // again; one refused for the file itself is not.
        for (int attempt = 0;; ++attempt) {
            if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd, &si, &pi)) break;
            error_ = GetLastError();
            if (attempt == 2 || error_ == ERROR_FILE_NOT_FOUND || error_ == ERROR_PATH_NOT_FOUND ||
                error_ == ERROR_BAD_EXE_FORMAT)
                return;
            Sleep(500);
        }
        error_ = 0;
        process_.reset(pi.hProcess);
        raii::Handle thread(pi.hThread);
        id_ = pi.dwProcessId;
    }
    ~Process() { Wait(0); }
    DWORD Id() const { return id_; }
    DWORD StartError() const { return error_; }  // the system's code when it could not be started
    // Its first visible top-level window of class `cls` and caption `caption` (null: any), waited for.
    HWND Window(const wchar_t* cls, const wchar_t* caption, DWORD timeoutMs) const {
        HWND found = nullptr;
        PumpUntil([&] {
            for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, cls, caption)) != nullptr;) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == id_ && IsWindowVisible(w)) return (found = w) != nullptr;
            }
            return false;
        }, timeoutMs);
        return found;
    }
    // Its exit status; -1 when it did not end within the time (it is ended then).
    long Wait(DWORD timeoutMs = 20000) {
        if (!process_) return -1;
        if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(process_.get(), 99);
            WaitForSingleObject(process_.get(), 5000);
            return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<long>(code);
    }

private:
    raii::Handle process_;
    DWORD id_ = 0, error_ = 0;
};

// The program started with `args` in `cwd` shows a visible top-level window captioned `caption`
// and ends when that is closed.
inline bool ShowsAndCloses(const std::wstring& exe, const std::wstring& args, const std::wstring& caption,
                           const wchar_t* cwd = nullptr) {
    Process p(exe, args, cwd);
    HWND window = p.Window(nullptr, caption.c_str(), 15000);
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    return window && p.Wait(10000) != -1;
}

}  // namespace testenv
