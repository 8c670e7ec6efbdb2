// Edit > Undo, Cut, Copy, Paste, Select All and Go To: on the editing area, or for Copy and Select
// All on the output pane while it has the focus; the clipboard holds text with CR LF line ends.
#pragma once
#include <windows.h>

#include "BuildPane.h"
#include "LineEnds.h"

namespace editcommands {

struct Target {
    HWND owner = nullptr;  // the clipboard's owner
    HWND edit = nullptr;
    BuildPane* pane = nullptr;
    docfile::LineEnd lineEnd = docfile::LineEnd::CrLf;  // the document's, which pasted text takes
};

// Runs the Edit menu's item `index` (the items above; others do nothing); true when text went to
// the clipboard, so Paste has something from now on.
bool Run(int index, const Target& target);

}  // namespace editcommands
