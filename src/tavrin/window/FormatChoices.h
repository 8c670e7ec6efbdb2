// The window side of the document's format: the Format > Line Ends and File > Reopen with Encoding
// submenus, the line-end conversion in the editing area and the status bar's panel.
#pragma once
#include <windows.h>

#include <cstddef>

#include "TextFormat.h"

namespace formatchoices {

// Command ids of the submenus' items (index = id - base).
inline constexpr int LineEndsBase = 900, ReopenBase = 910;

// Turns the menu item `id` into a submenu holding `captions`, whose items get ids `first` on; the
// submenu, or null when it could not be made.
HMENU MakeSubmenu(HMENU bar, int id, const wchar_t* const* captions, size_t count, int first);
// Checks item `checked` (-1: none) of the `count` items from `first`.
void CheckOne(HMENU bar, int first, size_t count, int checked);
// Every line end of the area's text in `style`, as one undo step; new lines take it too.
void ConvertLineEnds(HWND edit, docfile::LineEnd style);
// The encoding and line ends in their status panel.
void ShowPanel(HWND statusBar, const docfile::FileFormat& format, textformat::Ends ends);

}  // namespace formatchoices
