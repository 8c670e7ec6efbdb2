// The settings in the registry.
#include "basTavrin.h"

#include <windows.h>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "Raii.h"

namespace settings {

std::wstring KeyPath = L"Software\\Tavrin\\Settings";

std::optional<std::wstring> RegistryStore::Read(const wchar_t* key) {
    raii::RegKey k;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath.c_str(), 0, KEY_QUERY_VALUE, k.put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(k.get(), key, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(k.get(), key, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(wcsnlen(value.c_str(), size / sizeof(wchar_t)));
    return value;
}

void RegistryStore::Write(const wchar_t* key, const std::wstring& value) {
    raii::RegKey k;
    LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.put(),
                              nullptr);
    if (rc == ERROR_SUCCESS)
        rc = RegSetValueExW(k.get(), key, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS) RaiseError(rc, ExeName() + L".SaveSettings", SystemErrorText(static_cast<unsigned long>(rc)));
}

}  // namespace settings

settings::Values LoadSettings() {
    settings::RegistryStore store;
    settings::Values v = settings::Read(store, DefaultCodeFolder);
    v.largeFileKB = settings::ReadLargeFileKB(store);
    v.tabWidth = settings::ReadTabWidth(store);
    v.folding = settings::ParseNumber(store.Read(settings::KeyFolding), 1) != 0;
    return v;
}

void SaveSettings(const settings::Values& values) {
    settings::RegistryStore store;
    settings::Write(store, values);
    settings::WriteLargeFileKB(store, values.largeFileKB);
    settings::WriteTabWidth(store, values.tabWidth);
    store.Write(settings::KeyFolding, values.folding ? L"1" : L"0");
}
