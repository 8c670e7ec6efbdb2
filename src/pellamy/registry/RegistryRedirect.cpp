#include "RegistryRedirect.h"

#include "RegCapture.h"
#include "RegistryTree.h"
#include "SystemLibraries.h"

namespace pellamy {
namespace {

constexpr const wchar_t* kScratchParent = L"Software\\Pellamy\\Scratch";

std::vector<std::wstring> PreparedKeys() {
    return {L"HKEY_LOCAL_MACHINE\\Software", L"HKEY_LOCAL_MACHINE\\Software\\Classes"};
}

// Redirections in place in this process (one given up on stays until its worker ends).
std::atomic<int> g_applied{0};

void DeleteIfEmpty(const wchar_t* path) { RegDeleteKeyW(HKEY_CURRENT_USER, path); }  // fails while subkeys remain

// The scratch key's owner by its name, "<pid>-<tick>": whether that process still runs.
bool OwnerRuns(const std::wstring& name) {
    const DWORD pid = static_cast<DWORD>(wcstoul(name.c_str(), nullptr, 10));
    raii::Handle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace

void RemoveStaleScratchKeys() {
    std::vector<std::wstring> stale;
    {
        raii::RegKey parent;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kScratchParent, 0, KEY_READ, parent.put()) != ERROR_SUCCESS) return;
        wchar_t name[256];
        for (DWORD i = 0, n = 256; RegEnumKeyExW(parent.get(), i, name, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++i, n = 256)
            if (!OwnerRuns(name)) stale.push_back(std::wstring(kScratchParent) + L"\\" + name);
    }
    for (const std::wstring& key : stale) RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    DeleteIfEmpty(kScratchParent);
    DeleteIfEmpty(L"Software\\Pellamy");
}

RegistryRedirect::RegistryRedirect(Mode mode) : mode_(mode) {
    // The override is process-wide: a second one would be undone by the first run's end.
    if (g_applied.load() > 0) {
        error_ = ERROR_BUSY;
        return;
    }
    RemoveStaleScratchKeys();
    scratchPath_ = std::wstring(kScratchParent) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                   std::to_wstring(GetTickCount64());
    raii::RegKey scratch;
    error_ = static_cast<DWORD>(RegCreateKeyExW(HKEY_CURRENT_USER, scratchPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                nullptr, scratch.put(), nullptr));
    if (error_) return;
    // The root the scratch key lives under comes last, so the others are opened through the real one.
    if (mode == Mode::Capture) {
        targets_.push_back({HKEY_CLASSES_ROOT, L"HKCR", L"HKEY_CLASSES_ROOT", {}});
        targets_.push_back({HKEY_LOCAL_MACHINE, L"HKLM", L"HKEY_LOCAL_MACHINE", {}});
        targets_.push_back({HKEY_USERS, L"HKU", L"HKEY_USERS", {}});
        targets_.push_back({HKEY_CURRENT_USER, L"HKCU", L"HKEY_CURRENT_USER", {}});
    } else {
        targets_.push_back({HKEY_CLASSES_ROOT, nullptr, L"HKEY_CLASSES_ROOT", {}});
        targets_.push_back({HKEY_LOCAL_MACHINE, L"HKLM", L"HKEY_LOCAL_MACHINE", {}});
        targets_.push_back({HKEY_USERS, L"HKU", L"HKEY_USERS", {}});
    }
    for (Target& t : targets_) {
        error_ = t.scratchName ? static_cast<DWORD>(RegCreateKeyExW(scratch.get(), t.scratchName, 0, nullptr, 0,
                                                                    KEY_ALL_ACCESS, nullptr, t.key.put(), nullptr))
                               : static_cast<DWORD>(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0,
                                                                    KEY_ALL_ACCESS, nullptr, t.key.put(), nullptr));
        if (error_) return;
    }
    // Type library registration writes through HKLM\Software\Classes and expects it to be there.
    raii::RegKey classes;
    error_ = static_cast<DWORD>(RegCreateKeyExW(scratch.get(), L"HKLM\\Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS,
                                                nullptr, classes.put(), nullptr));
}

RegistryRedirect::~RegistryRedirect() {
    Restore();
    targets_.clear();
    if (!scratchPath_.empty()) RegDeleteTreeW(HKEY_CURRENT_USER, scratchPath_.c_str());
    DeleteIfEmpty(kScratchParent);
    DeleteIfEmpty(L"Software\\Pellamy");
}

void RegistryRedirect::Apply() {
    if (error_ || applied_.exchange(true)) return;
    ++g_applied;
    for (Target& t : targets_) RegOverridePredefKey(t.root, t.key.get());
}

void RegistryRedirect::Restore() {
    if (!applied_.exchange(false)) return;
    // The scratch key's own root first, so the others are never undone through a redirected one.
    for (auto t = targets_.rbegin(); t != targets_.rend(); ++t) RegOverridePredefKey(t->root, nullptr);
    --g_applied;
}

std::vector<RegKeyEntry> RegistryRedirect::Captured() const {
    std::vector<RegKeyEntry> keys;
    for (const Target& t : targets_) {
        if (!t.scratchName) continue;
        std::vector<RegKeyEntry> part = ReadKeyTree(t.key.get(), L"", t.rootName, false);
        keys.insert(keys.end(), part.begin(), part.end());
    }
    return FoldCapturedKeys(std::move(keys), PreparedKeys(), mode_ == Mode::Capture);
}


bool EnablePerUserTypeLibraries() {
    static const bool enabled = [] {
        HMODULE oleaut = syslib::LoadSystemLibrary(L"oleaut32.dll");  // stays loaded: the setting lives there
        void(WINAPI * enable)() = nullptr;
        if (!oleaut || !syslib::Bind(oleaut, "OaEnablePerUserTLibRegistration", enable)) return false;
        enable();
        return true;
    }();
    return enabled;
}

}  // namespace pellamy
