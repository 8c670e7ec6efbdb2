#include "ZoomLevel.h"

#include <algorithm>
#include <cmath>

namespace zoom {

int Percent(double basePoints, int zoomPoints) {
    if (basePoints <= 0) return 100;
    // The control never draws text below 2 points.
    const double shown = std::max(basePoints + zoomPoints, 2.0);
    return static_cast<int>(std::lround(shown * 100 / basePoints));
}

std::wstring PanelText(int percent) { return percent == 100 ? std::wstring() : std::to_wstring(percent) + L"%"; }

bool ReadWordWrap(settings::Store& store) { return settings::ParseNumber(store.Read(L"WordWrap"), 0) == 1; }

void WriteWordWrap(settings::Store& store, bool on) { store.Write(L"WordWrap", on ? L"1" : L"0"); }

}  // namespace zoom
