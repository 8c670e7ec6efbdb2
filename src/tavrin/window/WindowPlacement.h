// The main window's outer placement in twips, as the settings keep it: the normal (restored)
// placement also while minimised or maximised, and a stored placement brought back onto a monitor.
#pragma once
#include <windows.h>

namespace placement {

struct Twips {
    int left = 0, top = 0, width = 0, height = 0;
};

Twips Get(HWND window, int dpi);
// Places the window, moved onto the nearest monitor if it lies off every one.
void Set(HWND window, int dpi, const Twips& where);

}  // namespace placement
