// What the editing area's files share: the area beside its control (what it remembers, and the
// control's direct function, which skips the window's message dispatch) and the conversions between
// the UTF-16 positions the editor counts in and the control's byte positions.
#pragma once
#include <windows.h>

#include <string>

#include "Scintilla.h"
#include "SyntaxScheme.h"
#include "TextStyles.h"

namespace editarea {

// One indicator carries every colour the user gives text: its value is the colour.
inline constexpr int kColourIndicator = INDICATOR_CONTAINER;
inline constexpr int kNumberMargin = 0;

// One editing area: made with its control and gone with it. Besides the control it remembers the
// formats given out as styles, the base font and background, and a format given to the caret for
// the text typed there next.
class Area {
public:
    explicit Area(HWND edit);
    // The area of a control made by Create; a detached one (calls do nothing) for any other window.
    static Area& Of(HWND edit);
    sptr_t Call(unsigned int msg, uptr_t wp = 0, sptr_t lp = 0) const { return fn_ ? fn_(ptr_, msg, wp, lp) : 0; }

    textstyles::Table styles;
    std::wstring face = L"Courier New";
    int charset = DEFAULT_CHARSET;
    int baseSize100 = 1000;
    COLORREF back = GetSysColor(COLOR_WINDOW);
    Sci_Position caretPos = -1;  // where the caret format waits; -1: none
    int caretStyle = textstyles::kPlain;
    int caretColour = 0;  // indicator value: 0 the plain colour
    syntax::Language language = syntax::Language::None;
    bool lineNumbers = false;
    int numberDigits = 0;  // the margin's width in digits; 0: not measured
    bool braceShown = false;
    bool formatsGiven = false;  // a colour or font was given to part of this text
    int gapHeld = 0;            // HoldGap calls not yet released
    bool wrapWanted = false;    // View > Word Wrap, whatever the text's size
    DWORD lastInput = 0;        // tick of the last key or mouse message the control was given
    Sci_Position skippedFrom = -1;     // where the text a far jump skipped starts; -1: none skipped
    Sci_Position colourSlice = 32 << 10;  // bytes coloured in about 2 ms
    Sci_Position firstFrom = 0, firstTo = 0;  // the text last coloured before what it follows

private:
    SciFnDirect fn_ = nullptr;
    sptr_t ptr_ = 0;
};

inline sptr_t Call(HWND edit, unsigned int msg, uptr_t wp = 0, sptr_t lp = 0) {
    return Area::Of(edit).Call(msg, wp, lp);
}

std::string Bytes(HWND edit, Sci_Position from, Sci_Position to);
// UTF-16 positions <-> the control's byte positions, through its UTF-16 line index.
Sci_Position BytePos(HWND edit, size_t u16);
size_t Utf16Pos(HWND edit, Sci_Position pos);
void ByteSelection(HWND edit, Sci_Position& start, Sci_Position& end);

// The formats (EditFormats.cpp): every style's look again, the line-number margin's width, and
// text just put in taking the format it continues.
void ApplyAllStyles(HWND edit, Area& st);
void UpdateNumberMargin(HWND edit, Area& st, bool force = false);
void FormatInserted(HWND edit, Sci_Position pos, Sci_Position length);

// The control's gap moved towards the caret while the window waits, a few steps at each tick of a timer
// (EditTyping.cpp); OnGapTimer is false for another timer.
void FollowCaretWithGap(HWND edit);
bool OnGapTimer(HWND edit, UINT_PTR id);

// The text past the view coloured while the user pauses, after an open, a change of language or
// an edit; a paint far past the coloured text colours the view first and the text it skipped after
// (ColourAhead.cpp). OnColourTimer is false for another timer.
void ColourAheadLater(HWND edit);
void ColourViewFirst(HWND edit);
bool OnColourTimer(HWND edit, UINT_PTR id);

// Files dropped on the control reach its parent as WM_DROPFILES (FileDropTarget.cpp).
void AcceptFileDrops(HWND edit);

}  // namespace editarea
