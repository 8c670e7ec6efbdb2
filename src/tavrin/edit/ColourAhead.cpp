#include "EditAreaParts.h"

namespace editarea {

namespace {

constexpr UINT_PTR kColourTimer = 0x6763;
constexpr UINT kPauseMs = 300;

}  // namespace

// The control colours only what it shows, so a jump far into a big coloured text waited for all the
// text before it to be coloured (0.35 s into 10 MB). Its own colouring of the whole text while idle,
// in slices that give way to input, runs only after a pause: left on through typing, each key would
// start it again from there and keep a slice running under every key. Until then a jump shows the
// text at once and colours what it shows in those slices (0.22 s in one paint at the middle of 10 MB).
// Not for a text without a lexer: nothing would colour it, and the slices would ask again for ever.
void ColourAheadLater(HWND edit) {
    const bool coloured = Area::Of(edit).language != syntax::Language::None;
    Call(edit, SCI_SETIDLESTYLING, coloured ? SC_IDLESTYLING_TOVISIBLE : SC_IDLESTYLING_NONE);
    if (coloured) SetTimer(edit, kColourTimer, kPauseMs, nullptr);
    else KillTimer(edit, kColourTimer);
}

bool OnColourTimer(HWND edit, UINT_PTR id) {
    if (id != kColourTimer) return false;
    KillTimer(edit, kColourTimer);
    if (Area::Of(edit).language != syntax::Language::None &&
        Call(edit, SCI_GETENDSTYLED) < Call(edit, SCI_GETLENGTH)) {
        Call(edit, SCI_SETIDLESTYLING, SC_IDLESTYLING_ALL);
        RECT corner{0, 0, 1, 1};
        InvalidateRect(edit, &corner, FALSE);  // the control starts its idle colouring from a paint
    }
    return true;
}

}  // namespace editarea
