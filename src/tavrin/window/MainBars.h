// The main window's toolbar (buttons, image list, tooltips) and status bar (panels, date, time).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "Raii.h"

namespace bars {

// Command id of the toolbar button at `position` (1-14), and back (0 when not a button id).
inline constexpr int kButtonBase = 700;
inline int ButtonId(int position) { return kButtonBase + position - 1; }
int PositionOf(int id);
// The key of the button with command id `id`; empty when none.
std::wstring KeyOf(int id);
// Tooltip of the button with command id `id`; null when none.
const wchar_t* TooltipOf(int id);
// A tooltip's request for a button's text: answered (true), or not a button's (false).
bool AnswerTooltip(NMHDR& header);

// `imlToolbarIcons`: the 11 images in key order, 16 pixels at 96 dpi and 24 from 144 dpi, from the
// platform's standard toolbar images.
struct ImageListTraits {
    using Type = HIMAGELIST;
    static HIMAGELIST Invalid() { return nullptr; }
    static bool Valid(HIMAGELIST h) { return h != nullptr; }
    static void Close(HIMAGELIST h) { ImageList_Destroy(h); }
};

class ToolbarIcons {
public:
    bool Create(HWND parent, int dpi);
    HIMAGELIST get() const { return list_.get(); }
    int size() const { return size_; }
    void reset();
    void swap(ToolbarIcons& o) noexcept {
        std::swap(list_, o.list_);
        std::swap(size_, o.size_);
    }
private:
    raii::Unique<ImageListTraits> list_;
    int size_ = 0;
};

// Adds the 14 positions to an empty toolbar.
void FillToolbar(HWND tb, const ToolbarIcons& icons);
// Gives the toolbar images of a new size (after a DPI change).
void SetToolbarImages(HWND tb, const ToolbarIcons& icons);

// Panel texts and widths: `note` ("Status" when there is none) filling the rest, the caret's place,
// the encoding and line ends, then the short date and time sized to their text. A note gets room
// for all of it, from the panels at the right first, when the bar is short of room.
// The zoom's panel (after the format's) has room only while `zoomShown`.
void UpdateStatusBar(HWND sb, int dpi, bool zoomShown, const std::wstring& note);
// The caret's place ("Ln 12, Col 5") in its panel.
void SetPlaceText(HWND sb, const std::wstring& text);
inline constexpr int kPlacePanel = 1, kFormatPanel = 2, kZoomPanel = 3;
// The short date and the short time (hours and minutes) as the status bar shows them.
std::wstring ShortDate();
std::wstring ShortTime();
// A file time (UTC) as the user's short date and time.
std::wstring LocalDateTime(unsigned long long fileTime);
// Milliseconds until the clock shows the next minute.
UINT MsToNextMinute();

}  // namespace bars
