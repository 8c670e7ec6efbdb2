#include "MenuBar.h"

#include <string>

namespace form {

HMENU BuildMenuBar(const MenuDef* menus, size_t count) {
    HMENU bar = CreateMenu();
    for (size_t m = 0; m < count; ++m) {
        HMENU popup = CreatePopupMenu();
        const MenuDef& def = menus[m];
        for (size_t i = 0; i < def.count; ++i) {
            const MenuItem& it = def.items[i];
            if (!it.visible) continue;
            const UINT id = static_cast<UINT>(def.baseId + static_cast<int>(i));
            if (std::wstring(it.caption) == L"-") {
                AppendMenuW(popup, MF_SEPARATOR, id, nullptr);
                continue;
            }
            std::wstring text = it.caption;
            if (it.shortcut) text += std::wstring(L"\t") + it.shortcut;
            AppendMenuW(popup, MF_STRING | (it.enabled ? 0 : MF_GRAYED), id, text.c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), def.title);
    }
    return bar;
}

}  // namespace form
