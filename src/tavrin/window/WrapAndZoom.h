// View > Zoom on the editing area, and the zoom's status panel (Word Wrap is the area's own:
// editarea::SetWordWrap, which holds it back from texts too big to wrap).
#pragma once
#include <windows.h>

namespace wrapzoom {

// Command ids of the Zoom submenu: In, Out, Restore Default Zoom.
inline constexpr int ZoomBase = 940;

// Zoom In, Out or back to the default, by the submenu's index.
void Zoom(HWND edit, int index);
// The zoom as a percentage of the area's base size.
int Percent(HWND edit);
// The control's notice that its zoom changed (a command, Ctrl+wheel).
bool IsZoomNotice(const NMHDR& header);

}  // namespace wrapzoom
