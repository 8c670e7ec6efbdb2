// Menus as indexed item arrays: item i of a menu has the command id baseId + i, so one click
// handler per menu branches on the index. Hidden items keep their index but are left out.
#pragma once
#include <windows.h>

#include <cstddef>

namespace form {

struct MenuItem {
    const wchar_t* caption;  // "-" is a separator
    const wchar_t* shortcut = nullptr;  // shown after a tab, e.g. L"Ctrl+N"
    bool visible = true;
    bool enabled = true;
};

struct MenuDef {
    const wchar_t* title;
    int baseId;
    const MenuItem* items;
    size_t count;
};

HMENU BuildMenuBar(const MenuDef* menus, size_t count);

// The menu's index of a command id, or -1 when the id is not in [baseId, baseId + count).
inline int MenuIndex(const MenuDef& m, int id) {
    return (id >= m.baseId && id < m.baseId + static_cast<int>(m.count)) ? id - m.baseId : -1;
}

}  // namespace form
