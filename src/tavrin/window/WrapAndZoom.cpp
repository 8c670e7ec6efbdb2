#include "WrapAndZoom.h"

#include "Scintilla.h"
#include "ZoomLevel.h"

namespace wrapzoom {

void Zoom(HWND edit, int index) {
    if (index == 0) SendMessageW(edit, SCI_ZOOMIN, 0, 0);
    else if (index == 1) SendMessageW(edit, SCI_ZOOMOUT, 0, 0);
    else SendMessageW(edit, SCI_SETZOOM, 0, 0);
}

int Percent(HWND edit) {
    const double base = static_cast<double>(SendMessageW(edit, SCI_STYLEGETSIZEFRACTIONAL, STYLE_DEFAULT, 0)) /
                        SC_FONT_SIZE_MULTIPLIER;
    return zoom::Percent(base, static_cast<int>(SendMessageW(edit, SCI_GETZOOM, 0, 0)));
}

bool IsZoomNotice(const NMHDR& header) { return header.code == SCN_ZOOM; }

}  // namespace wrapzoom
