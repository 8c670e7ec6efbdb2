#include "RecentMenu.h"

#include <objbase.h>
#include <shlobj.h>

#include <memory>

#include "FormatChoices.h"
#include "Raii.h"
#include "Texts.h"
#include "basTavrin.h"

namespace {

// The settings' sibling key: tests move both with settings::KeyPath.
std::wstring RecentKey() {
    const std::wstring& settingsKey = settings::KeyPath;
    return settingsKey.substr(0, settingsKey.find_last_of(L'\\') + 1) + L"Recent";
}

std::wstring ValueName(size_t i) { return L"File" + std::to_wstring(i + 1); }

// The shell's own list of recent documents, told from a pool thread: the shell writes a shortcut
// there (under Wine it also starts a helper program, forking this one), 25 ms of each save and open
// of a window thread.
void CALLBACK TellShell(PTP_CALLBACK_INSTANCE, void* context) {
    const std::unique_ptr<std::wstring> path(static_cast<std::wstring*>(context));
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SHAddToRecentDocs(SHARD_PATHW, path->c_str());
    if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace

void RecentMenu::Attach(HMENU bar, int id) {
    popup_ = formatchoices::MakeSubmenu(bar, id, nullptr, 0, 0);
    OnMenuOpening(popup_);
}

void RecentMenu::OnMenuOpening(HMENU menu) {
    if (!popup_ || menu != popup_) return;
    Load();
    while (GetMenuItemCount(popup_) > 0) DeleteMenu(popup_, 0, MF_BYPOSITION);
    for (size_t i = 0; i < list_.size(); ++i)
        AppendMenuW(popup_, MF_STRING, static_cast<UINT_PTR>(FirstId + i), recent::Caption(i, list_[i]).c_str());
    if (!list_.empty()) AppendMenuW(popup_, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup_, MF_STRING | (list_.empty() ? MF_GRAYED : 0), ClearId, texts::FileClearRecent);
}

void RecentMenu::Add(const std::wstring& path) {
    Load();
    recent::Add(list_, path);
    Store();
    auto* told = new std::wstring(path);
    if (!TrySubmitThreadpoolCallback(TellShell, told, nullptr)) TellShell(nullptr, told);
}

void RecentMenu::Remove(const std::wstring& path) {
    Load();
    recent::Remove(list_, path);
    Store();
}

void RecentMenu::Clear() {
    list_.clear();
    Store();
}

std::wstring RecentMenu::PathOf(int id) const {
    const size_t i = static_cast<size_t>(id - FirstId);
    return id >= FirstId && i < list_.size() ? list_[i] : std::wstring();
}

void RecentMenu::Load() {
    std::vector<std::optional<std::wstring>> values;
    raii::RegKey k;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, RecentKey().c_str(), 0, KEY_QUERY_VALUE, k.put()) == ERROR_SUCCESS) {
        for (size_t i = 0; i < recent::kMost; ++i) {
            DWORD type = 0, size = 0;
            const std::wstring name = ValueName(i);
            // Only text: any other type is ignored (its bytes are never shown).
            if (RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
                type != REG_SZ || size > 65536 * sizeof(wchar_t)) {
                values.emplace_back();
                continue;
            }
            std::wstring v(size / sizeof(wchar_t) + 1, L'\0');
            size = static_cast<DWORD>(v.size() * sizeof(wchar_t));
            if (RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(v.data()), &size) !=
                    ERROR_SUCCESS || type != REG_SZ) {
                values.emplace_back();
                continue;
            }
            v.resize(wcsnlen(v.c_str(), size / sizeof(wchar_t)));
            values.emplace_back(std::move(v));
        }
    }
    list_ = recent::Clean(values);
}

void RecentMenu::Store() {
    // A list that cannot be written stays as it is in this window: nothing of the user's is lost.
    raii::RegKey k;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, RecentKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.put(),
                        nullptr) != ERROR_SUCCESS)
        return;
    for (size_t i = 0; i < recent::kMost; ++i) {
        const std::wstring name = ValueName(i);
        if (i < list_.size())
            RegSetValueExW(k.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(list_[i].c_str()),
                           static_cast<DWORD>((list_[i].size() + 1) * sizeof(wchar_t)));
        else
            RegDeleteValueW(k.get(), name.c_str());
    }
}
