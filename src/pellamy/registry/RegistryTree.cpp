#include "RegistryTree.h"

#include "Raii.h"

namespace pellamy {
namespace {

void ReadInto(HKEY key, const std::wstring& path, bool includeSelf, std::vector<RegKeyEntry>& out) {
    DWORD subkeys = 0, maxSubkey = 0, values = 0, maxName = 0, maxData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &values, &maxName, &maxData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return;
    if (includeSelf) {
        RegKeyEntry entry{path, {}};
        std::wstring name(maxName + 2, L'\0');
        std::vector<BYTE> data(maxData + 2);
        for (DWORD i = 0;; ++i) {
            DWORD nameLen = static_cast<DWORD>(name.size()), dataLen = static_cast<DWORD>(data.size()), type = 0;
            const LONG rc = RegEnumValueW(key, i, name.data(), &nameLen, nullptr, &type, data.data(), &dataLen);
            if (rc != ERROR_SUCCESS) break;
            entry.values.push_back({name.substr(0, nameLen), type, std::vector<uint8_t>(data.begin(), data.begin() + dataLen)});
        }
        out.push_back(std::move(entry));
    }
    std::wstring child(256, L'\0');
    for (DWORD i = 0;; ++i) {
        DWORD len = static_cast<DWORD>(child.size());
        if (RegEnumKeyExW(key, i, child.data(), &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::wstring name = child.substr(0, len);
        raii::RegKey sub;
        if (RegOpenKeyExW(key, name.c_str(), 0, KEY_READ, sub.put()) == ERROR_SUCCESS)
            ReadInto(sub.get(), path + L"\\" + name, true, out);
    }
}

}  // namespace

std::vector<RegKeyEntry> ReadKeyTree(HKEY parent, const std::wstring& subkey, const std::wstring& displayPath,
                                     bool includeSelf) {
    std::vector<RegKeyEntry> out;
    raii::RegKey key;
    if (RegOpenKeyExW(parent, subkey.empty() ? nullptr : subkey.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return out;
    ReadInto(key.get(), displayPath, includeSelf, out);
    return out;
}

}  // namespace pellamy
