// File > Recent Files as a submenu, its list kept in the registry beside the settings ("Recent",
// File1...File10, most recent first) so that every window shares it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "RecentFiles.h"

class RecentMenu {
public:
    static constexpr int FirstId = 920, ClearId = FirstId + static_cast<int>(recent::kMost);

    // Turns the menu item `id` into the submenu.
    void Attach(HMENU bar, int id);
    // Before a menu opens: the submenu shows the list as another window may have left it.
    void OnMenuOpening(HMENU menu);
    // Opened or saved: to the top of the list, and to the shell's recent documents (the jump list).
    void Add(const std::wstring& path);
    void Remove(const std::wstring& path);
    void Clear();
    // The path of an item's command id; empty for any other id.
    std::wstring PathOf(int id) const;

private:
    void Load();
    void Store();
    HMENU popup_ = nullptr;
    std::vector<std::wstring> list_;
};
