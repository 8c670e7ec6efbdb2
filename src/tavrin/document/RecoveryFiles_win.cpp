#include "RecoveryFiles.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <new>

#include "SafeSave.h"
#include "basTavrin.h"

namespace recovery {

namespace {

constexpr const wchar_t* kExtension = L".tavrin-recovery";
constexpr const wchar_t* kLockExtension = L".lock";

std::wstring LockOf(const std::wstring& file) {
    return file.substr(0, file.size() - wcslen(kExtension)) + kLockExtension;
}

// A lock file that is there and held open (without sharing) by its window.
bool Held(const std::wstring& lock) {
    HANDLE h = CreateFileW(safesave::LongPath(lock).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        DeleteFileW(safesave::LongPath(lock).c_str());  // left by a window that could not remove it
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

std::wstring Folder() {
    // The variable first, so a test or a portable setup can point it elsewhere.
    std::wstring base(MAX_PATH, L'\0');
    DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", base.data(), static_cast<DWORD>(base.size()));
    if (n >= base.size()) {
        base.resize(n);
        n = GetEnvironmentVariableW(L"LOCALAPPDATA", base.data(), n);
    }
    base.resize(n < base.size() ? n : 0);
    if (base.empty()) {
        PWSTR known = nullptr;
        if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known))) base = known;
        CoTaskMemFree(known);
    }
    if (base.empty()) return {};
    const std::wstring tavrin = base + L"\\Tavrin", folder = tavrin + L"\\Recovery";
    CreateDirectoryW(safesave::LongPath(tavrin).c_str(), nullptr);
    CreateDirectoryW(safesave::LongPath(folder).c_str(), nullptr);
    const DWORD a = GetFileAttributesW(safesave::LongPath(folder).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) ? folder : std::wstring();
}

std::vector<std::wstring> LeftBehind() {
    const std::wstring folder = Folder();
    std::vector<std::pair<ULONGLONG, std::wstring>> found;
    if (folder.empty()) return {};
    WIN32_FIND_DATAW fd{};
    raii::FindHandle h(FindFirstFileW(safesave::LongPath(folder + L"\\*" + kExtension).c_str(), &fd));
    if (!h) return {};
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring file = folder + L"\\" + fd.cFileName;
        if (Held(LockOf(file))) continue;  // its window is running
        found.push_back({(static_cast<ULONGLONG>(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime,
                         file});
    } while (FindNextFileW(h.get(), &fd));
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::wstring> files;
    for (auto& f : found) files.push_back(std::move(f.second));
    return files;
}

Parsed Load(const std::wstring& file) {
    std::string bytes;
    unsigned long error = 0;
    if (!safesave::ReadAll(file, bytes, error)) return {{}, ReasonText(error)};
    return Parse(bytes);
}

std::wstring PutAside(const std::wstring& file) {
    const std::wstring aside = file + L".damaged";
    return MoveFileExW(safesave::LongPath(file).c_str(), safesave::LongPath(aside).c_str(), MOVEFILE_REPLACE_EXISTING)
               ? aside
               : std::wstring();
}

void Delete(const std::wstring& file) { DeleteFileW(safesave::LongPath(file).c_str()); }

Keeper::~Keeper() {
    {
        std::lock_guard<std::mutex> g(m_);
        stop_ = true;
    }
    cv_.notify_all();
    if (worker_.joinable()) worker_.join();
}

bool Keeper::Claim() {
    if (lock_) return true;
    const std::wstring folder = Folder();
    if (folder.empty()) return false;
    // Process id and start time: unique among running windows and unlike any left behind.
    FILETIME created{}, unused{};
    GetProcessTimes(GetCurrentProcess(), &created, &unused, &unused, &unused);
    wchar_t name[64];
    swprintf(name, 64, L"%lu-%08lx%08lx", GetCurrentProcessId(), created.dwHighDateTime, created.dwLowDateTime);
    const std::wstring path = folder + L"\\" + name + kExtension;
    lock_.reset(CreateFileW(safesave::LongPath(LockOf(path)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!lock_) return false;
    path_ = path;
    return true;
}

void Keeper::Write(Record record) {
    std::lock_guard<std::mutex> g(m_);
    if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
    pending_ = std::move(record);
    remove_ = false;
    cv_.notify_all();
}

void Keeper::Remove() {
    std::lock_guard<std::mutex> g(m_);
    pending_.reset();
    if (path_.empty()) return;  // nothing was ever written
    if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
    remove_ = true;
    cv_.notify_all();
}

void Keeper::WaitIdle() {
    std::unique_lock<std::mutex> g(m_);
    cv_.wait(g, [this] { return !pending_ && !remove_ && !busy_; });
}

void Keeper::Reserve(size_t bytes) {
    std::lock_guard<std::mutex> g(m_);
    if (spare_.capacity() >= bytes) return;
    if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
    reserve_ = bytes;
    cv_.notify_all();
}

std::string Keeper::TakeSpare() {
    std::lock_guard<std::mutex> g(m_);
    return std::move(spare_);
}

bool Keeper::Idle() {
    std::lock_guard<std::mutex> g(m_);
    return !pending_ && !remove_ && !busy_;
}

std::wstring Keeper::Path() {
    std::lock_guard<std::mutex> g(m_);
    return path_;
}

void Keeper::Run() {
    std::unique_lock<std::mutex> g(m_);
    for (;;) {
        cv_.wait(g, [this] { return stop_ || pending_ || remove_ || reserve_; });
        if (stop_) return;
        busy_ = true;
        if (reserve_ && !pending_ && !remove_) {
            const size_t n = reserve_;
            reserve_ = 0;
            g.unlock();
            std::string memory;
            try {
                memory.assign(n, '\0');  // touched here, not on the window thread
            } catch (const std::bad_alloc&) {  // no room for it now: the copy is tried when it is due
            }
            g.lock();
            if (spare_.capacity() < n) spare_ = std::move(memory);
            g.unlock();
        } else if (remove_) {
            remove_ = false;
            const std::wstring path = path_;
            g.unlock();
            Delete(path);
        } else {
            Record r = std::move(*pending_);
            pending_.reset();
            const bool claimed = Claim();
            const std::wstring path = path_;
            g.unlock();
            // A failed write leaves the last good file; the next change tries again. The head and
            // the text go as parts: a big text is not copied a second time.
            if (claimed) {
                const std::string head = SerializeHead(r);
                unsigned long error = 0;
                safesave::WriteAll(path, safesave::Parts{head, r.text}, error);
            }
            g.lock();
            spare_ = std::move(r.text);
            g.unlock();
        }
        g.lock();
        busy_ = false;
        cv_.notify_all();
    }
}

}  // namespace recovery
