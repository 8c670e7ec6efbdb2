// View > Word Wrap and the zoom, without a window: the zoom as the status bar shows it and the
// WordWrap setting.
#pragma once
#include <string>

#include "basTavrin.h"

namespace zoom {

// The editing area's zoom adds points to every size (from -10 up to +20): as a percentage of the base
// size, rounded.
int Percent(double basePoints, int zoomPoints);
// "120%" for the status bar; empty at 100%, when the panel is not shown.
std::wstring PanelText(int percent);

// WordWrap: "1" on, anything else (or nothing) off.
bool ReadWordWrap(settings::Store& store);
void WriteWordWrap(settings::Store& store, bool on);

}  // namespace zoom
