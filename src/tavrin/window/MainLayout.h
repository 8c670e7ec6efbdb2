// Layout arithmetic of the main window, in pixels: where the editing area goes, and keeping a
// stored window placement on a monitor.
#pragma once

#include <vector>

struct LayoutRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const LayoutRect&) const = default;
};

// The editing area fills the client area between the toolbar strip (top) and the status bar strip
// (bottom), after a small gap below the toolbar; never a negative size.
LayoutRect EditAreaRect(int clientWidth, int clientHeight, int toolbarHeight, int statusHeight, int gap);

// The editing area above the output pane, in the editing area's rectangle: the pane takes
// `paneHeight` (less when room is short, the editing area keeping at least as much), a gap between.
struct PaneSplit {
    LayoutRect edit, pane;
};
PaneSplit SplitForPane(const LayoutRect& area, int paneHeight, int gap);

// A window rectangle moved (and if need be shrunk) so it lies wholly inside `area`.
LayoutRect FitInside(const LayoutRect& window, const LayoutRect& area);

// The status bar's panel edges, left to right, for a bar `barWidth` wide: the first panel (notes)
// gets what the panels after it (`widths`) leave, and at least `noteWidth` up to the whole bar; when
// room is short, the panels at the right give theirs first. The last edge is -1: to the bar's end.
std::vector<int> StatusEdges(int barWidth, int noteWidth, std::vector<int> widths);
