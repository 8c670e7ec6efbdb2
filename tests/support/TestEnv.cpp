#include "TestEnv.h"

#include <shlobj.h>

#include <atomic>
#include <cstring>

#include "AppInfo.h"
#include "Raii.h"

namespace testenv {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    path_ = std::wstring(tmp) + L"tvt_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(counter++) + L"_" + std::to_wstring(GetTickCount64());
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
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

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    raii::File f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return false;
    DWORD written = 0;
    return WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string ReadBytes(const std::wstring& path) {
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

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyExists(HKEY root, const std::wstring& path, REGSAM view) {
    raii::RegKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

HGLOBAL DropFiles(const std::vector<std::wstring>& files) {
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

std::wstring BinDir() { return ProgramFolder(); }

std::wstring SystemFolder() {
    wchar_t sys[MAX_PATH] = {};
    return std::wstring(sys, GetSystemDirectoryW(sys, MAX_PATH));
}

Process::Process(const std::wstring& exe, const std::wstring& args, const wchar_t* cwd) {
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd, &si, &pi)) return;
    process_.reset(pi.hProcess);
    raii::Handle thread(pi.hThread);
    id_ = pi.dwProcessId;
}

Process::~Process() { Wait(0); }

HWND Process::Window(const wchar_t* cls, const wchar_t* caption, DWORD timeoutMs) const {
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

long Process::Wait(DWORD timeoutMs) {
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

bool ShowsAndCloses(const std::wstring& exe, const std::wstring& args, const std::wstring& caption, const wchar_t* cwd) {
    Process p(exe, args, cwd);
    HWND window = p.Window(nullptr, caption.c_str(), 15000);
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    return window && p.Wait(10000) != -1;
}

}  // namespace testenv
