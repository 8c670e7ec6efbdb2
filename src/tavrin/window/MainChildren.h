// The main window's children: the toolbar with its images, the status bar, the editing area and
// the output pane. Made at start, given images of the new size when the DPI changes, and laid out
// on every size change.
#pragma once
#include <windows.h>

#include "BuildPane.h"
#include "MainBars.h"

class MainChildren {
public:
    struct Ids {
        int toolbar, edit, statusBar, output;
    };

    // Makes them in `owner` at `dpi`, the pane hidden in the editing area's face; the focus goes to
    // the editing area.
    void Create(HWND owner, int dpi, const Ids& ids, BuildPane& pane);
    // The area sizes its text for the new DPI itself; the toolbar gets images of the new size.
    void OnDpiChanged(HWND owner, int dpi);
    // The bars take their heights; then the editing area fills the room between them, above the
    // pane while the pane shows.
    void Layout(HWND owner, int dpi, bool paneShown);

private:
    Ids ids_{};
    bars::ToolbarIcons imlToolbarIcons_;
};
