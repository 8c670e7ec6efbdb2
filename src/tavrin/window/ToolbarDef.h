// The toolbar's buttons and where a click on each goes, without any window.
#pragma once
#include <cstddef>
#include <string_view>

namespace toolbar {

enum class Kind { Button, Separator };

struct Position {
    const wchar_t* key;       // null for a separator
    const wchar_t* tooltip;   // null: none
    const wchar_t* imageKey;  // null: none
    Kind kind;
    bool hidden;
    bool enabled;
};

// Positions 1-14 (index 0 is position 1).
inline constexpr size_t kCount = 14;
const Position* Positions();
// Position (1-based) of the Paste button, enabled by the first Cut or Copy.
inline constexpr int kPastePosition = 10;

// Image keys of the image list, in its order.
inline constexpr size_t kImageCount = 11;
const wchar_t* const* ImageKeys();
// Index of an image key in the list, or -1.
int ImageIndex(std::wstring_view imageKey);

// Where a button's key leads.
enum class Target { None, FileMenu, EditMenu, QuickPrint };
struct Route {
    Target target = Target::None;
    int index = -1;  // menu item index for FileMenu and EditMenu
    bool operator==(const Route&) const = default;
};
// Exact, case-sensitive comparison; unknown keys, "Redo" and "PREVIEW" lead nowhere.
Route RouteKey(std::wstring_view key);

}  // namespace toolbar
