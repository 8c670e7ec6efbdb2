#include <algorithm>
#include <chrono>
#include <limits>
#include <string_view>

#include "EditAreaParts.h"
#include "SciLexer.h"

namespace editarea {

namespace {

constexpr UINT_PTR kColourTimer = 0x6763;
constexpr UINT_PTR kSkippedTimer = 0x6764;
constexpr UINT kPauseMs = 300;
constexpr Sci_Position kFar = 64 << 10;  // about what the control colours in 3 ms
constexpr Sci_Position kLinesAbove = 256;
constexpr double kSliceMs = 2;
constexpr auto kTick = std::chrono::milliseconds(6);
constexpr DWORD kQuietMs = 100;

bool InputWaits() { return HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0; }

Sci_Position LineStartAt(HWND edit, Sci_Position pos) {
    return Call(edit, SCI_POSITIONFROMLINE, Call(edit, SCI_LINEFROMPOSITION, pos));
}

// A slice ends at a line's start (the lexers start from one), after one line at least.
Sci_Position SliceEnd(HWND edit, Sci_Position pos, Sci_Position bytes, Sci_Position ended) {
    Sci_Position to = LineStartAt(edit, std::min(pos + bytes, ended));
    if (to <= pos) to = Call(edit, SCI_POSITIONFROMLINE, Call(edit, SCI_LINEFROMPOSITION, pos) + 1);
    return std::min(to, ended);
}

struct Shown {
    Sci_Position from, to;  // the view's first line's start, and the start of the line after its last
};

Shown View(HWND edit, Sci_Position screens) {
    const Sci_Position first = Call(edit, SCI_GETFIRSTVISIBLELINE);
    const Sci_Position last = Call(edit, SCI_DOCLINEFROMVISIBLE, first + screens * Call(edit, SCI_LINESONSCREEN) + 1);
    return {Call(edit, SCI_POSITIONFROMLINE, Call(edit, SCI_DOCLINEFROMVISIBLE, first)),
            Call(edit, SCI_POSITIONFROMLINE, std::min(last + 1, Call(edit, SCI_GETLINECOUNT)))};
}

// Colours the skipped text in order, slice by slice, for a tick or until input waits. The control
// takes its colouring up where it had ended: its own mark is put back after each slice.
void ColourSkipped(HWND edit) {
    Area& st = Area::Of(edit);
    const Sci_Position ended = Call(edit, SCI_GETENDSTYLED);
    // Nothing skipped, or the control went back before it (an edit there) and colours in order again.
    if (st.language == syntax::Language::None || st.skippedFrom < 0 || ended <= st.skippedFrom) {
        st.skippedFrom = -1;
        KillTimer(edit, kSkippedTimer);
        return;
    }
    // Keys come as several messages, and a slice could hold up each: the slices wait for a pause.
    if (GetTickCount() - st.lastInput < kQuietMs) return;
    if (GetUpdateRect(edit, nullptr, FALSE)) return;  // its paint first: a slice would widen it to the whole view
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + kTick;
    const Sci_Position from = st.skippedFrom;
    Sci_Position pos = from;
    do {
        const auto start = Clock::now();
        const Sci_Position to = SliceEnd(edit, pos, st.colourSlice, ended);
        Call(edit, SCI_COLOURISE, pos, to);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const double perMs = static_cast<double>(to - pos) / std::max(ms, 0.05);
        st.colourSlice =
            std::clamp(static_cast<Sci_Position>(perMs * kSliceMs), Sci_Position{4 << 10}, Sci_Position{1 << 20});
        pos = to;
    } while (pos < ended && Clock::now() < end && !InputWaits());
    if (pos < ended) {
        Call(edit, SCI_STARTSTYLING, ended);
        st.skippedFrom = pos;
    } else {
        st.skippedFrom = -1;
        KillTimer(edit, kSkippedTimer);
    }
    const Shown view = View(edit, 1);
    if (pos <= view.from || from >= view.to) {
        // Nothing shown changed, yet the control asked to draw it all. A pixel's paint instead: until
        // it paints, the control asks for no other redraw.
        ValidateRect(edit, nullptr);
        RECT corner{0, 0, 1, 1};
        InvalidateRect(edit, &corner, FALSE);
    }
}

}  // namespace

// The control colours only what it shows, so a jump far into a big coloured text waited for all the
// text before it to be coloured (0.35 s into 10 MB). Its own colouring of the whole text while idle,
// in slices that give way to input, runs only after a pause: left on through typing, each key would
// start it again from there and keep a slice running under every key. Until then a jump colours the
// view first (below).
// Not for a text without a lexer: nothing would colour it, and the slices would ask again for ever.
void ColourAheadLater(HWND edit) {
    const bool coloured = Area::Of(edit).language != syntax::Language::None;
    Call(edit, SCI_SETIDLESTYLING, coloured ? SC_IDLESTYLING_TOVISIBLE : SC_IDLESTYLING_NONE);
    if (coloured) SetTimer(edit, kColourTimer, kPauseMs, nullptr);
    else KillTimer(edit, kColourTimer);
}

// A paint far past the text coloured in order: the control would colour all the text before the view
// first, in slices of 20 ms, one under each key typed meanwhile, each followed by a redraw of the
// whole view. Instead the view is coloured at once from some lines above it, as if nothing were open
// there, and the text skipped is coloured afterwards in slices of 2 ms that give way to input; the
// view is drawn again when they reach it.
void ColourViewFirst(HWND edit) {
    Area& st = Area::Of(edit);
    if (st.language == syntax::Language::None) return;
    const Sci_Position ended = Call(edit, SCI_GETENDSTYLED);
    const Sci_Position inOrder = st.skippedFrom >= 0 ? std::min(st.skippedFrom, ended) : ended;
    const Shown view = View(edit, 2);  // and the screen below, for the next Page Down
    const Sci_Position top = Call(edit, SCI_LINEFROMPOSITION, view.from);
    const Sci_Position from = Call(edit, SCI_POSITIONFROMLINE, std::max<Sci_Position>(0, top - kLinesAbove));
    if (from - inOrder < kFar) return;  // the control colours up to it in a few ms
    // Done already: the screen shown lies in what was coloured, which reaches a screen further.
    if (from < ended && view.from >= st.firstFrom && View(edit, 1).to <= st.firstTo) return;
    const Sci_Position skipped = LineStartAt(edit, inOrder);
    st.skippedFrom = st.skippedFrom < 0 ? skipped : std::min(st.skippedFrom, skipped);
    st.firstFrom = from;
    st.firstTo = view.to < Call(edit, SCI_GETLENGTH) ? view.to : std::numeric_limits<Sci_Position>::max();
    // The C-like lexer looks back past unstyled text for the last operator: here through the whole
    // skipped text (20 ms at the middle of 10 MB). A byte styled as one, before the view, stops it.
    if (from >= 2 && std::string_view(syntax::LexerName(st.language)) == "cpp") {
        Call(edit, SCI_STARTSTYLING, from - 2);
        Call(edit, SCI_SETSTYLING, 1, SCE_C_OPERATOR);
    }
    Call(edit, SCI_COLOURISE, from, view.to);
    if (ended > view.to) Call(edit, SCI_STARTSTYLING, ended);
    ColourAheadLater(edit);  // the control's own colouring ahead waits for the skipped text
    SetTimer(edit, kSkippedTimer, USER_TIMER_MINIMUM, nullptr);
}

bool OnColourTimer(HWND edit, UINT_PTR id) {
    if (id == kSkippedTimer) {
        ColourSkipped(edit);
        return true;
    }
    if (id != kColourTimer) return false;
    if (Area::Of(edit).skippedFrom >= 0) return true;  // the timer stays: the skipped text goes first
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
