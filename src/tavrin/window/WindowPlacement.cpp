#include "WindowPlacement.h"

#include "MainLayout.h"
#include "Twips.h"

namespace placement {

Twips Get(HWND window, int dpi) {
    RECT r{};
    if (IsIconic(window) || IsZoomed(window)) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        GetWindowPlacement(window, &wp);
        r = wp.rcNormalPosition;
        // The normal placement is in work-area coordinates.
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi))
            OffsetRect(&r, mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top);
    } else {
        GetWindowRect(window, &r);
    }
    return {PixelsToTwips(r.left, dpi), PixelsToTwips(r.top, dpi), PixelsToTwips(r.right - r.left, dpi),
            PixelsToTwips(r.bottom - r.top, dpi)};
}

void Set(HWND window, int dpi, const Twips& t) {
    const int left = TwipsToPixels(t.left, dpi), top = TwipsToPixels(t.top, dpi);
    RECT r{left, top, left + TwipsToPixels(t.width, dpi), top + TwipsToPixels(t.height, dpi)};
    if (!MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) {
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) {
            const RECT& w = mi.rcWork;
            const LayoutRect fit = FitInside({r.left, r.top, r.right - r.left, r.bottom - r.top},
                                             {w.left, w.top, w.right - w.left, w.bottom - w.top});
            r = RECT{fit.left, fit.top, fit.left + fit.width, fit.top + fit.height};
        }
    }
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace placement
