#include "MainLayout.h"

#include <algorithm>
#include <numeric>

LayoutRect EditAreaRect(int clientWidth, int clientHeight, int toolbarHeight, int statusHeight, int gap) {
    LayoutRect r;
    r.left = 0;
    r.top = toolbarHeight + gap;
    r.width = clientWidth > 0 ? clientWidth : 0;
    const int h = clientHeight - statusHeight - r.top;
    r.height = h > 0 ? h : 0;
    return r;
}

LayoutRect FitInside(const LayoutRect& window, const LayoutRect& area) {
    LayoutRect r = window;
    if (r.width > area.width) r.width = area.width;
    if (r.height > area.height) r.height = area.height;
    if (r.left < area.left) r.left = area.left;
    if (r.top < area.top) r.top = area.top;
    if (r.left + r.width > area.left + area.width) r.left = area.left + area.width - r.width;
    if (r.top + r.height > area.top + area.height) r.top = area.top + area.height - r.height;
    return r;
}

PaneSplit SplitForPane(const LayoutRect& area, int paneHeight, int gap) {
    const int room = area.height - gap > 0 ? area.height - gap : 0;
    const int pane = paneHeight < room / 2 ? paneHeight : room / 2;
    PaneSplit s;
    s.edit = {area.left, area.top, area.width, room - pane};
    s.pane = {area.left, area.top + (room - pane) + gap, area.width, pane};
    return s;
}

std::vector<int> StatusEdges(int barWidth, int noteWidth, std::vector<int> widths) {
    barWidth = std::max(barWidth, 0);
    noteWidth = std::clamp(noteWidth, 0, barWidth);
    int excess = noteWidth + std::accumulate(widths.begin(), widths.end(), 0) - barWidth;
    for (auto w = widths.rbegin(); w != widths.rend() && excess > 0; ++w) {
        const int cut = std::min(*w, excess);
        *w -= cut;
        excess -= cut;
    }
    std::vector<int> edges(widths.size() + 1, -1);
    int right = barWidth;
    for (size_t i = widths.size(); i-- > 0;) {
        edges[i] = right - widths[i] > 0 ? right - widths[i] : 0;
        right = edges[i];
    }
    return edges;
}
