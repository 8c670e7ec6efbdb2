// Typing behaviour: a new line takes the previous one's indent, the brace at the caret shows its
// partner, and text typed at a caret that was given a format takes it.
#include "EditArea.h"

#include "EditAreaParts.h"

#include <algorithm>
#include <chrono>

namespace editarea {

namespace {

// Above this a brace without a partner would be looked for through the whole text at every caret move.
constexpr Sci_Position kBraceMatchLimit = 8 << 20;

// The previous line's leading blanks and tabs, put at the start of a new line.
void IndentNewLine(HWND edit) {
    const Sci_Position caret = Call(edit, SCI_GETCURRENTPOS);
    const Sci_Position line = Call(edit, SCI_LINEFROMPOSITION, caret);
    if (line < 1 || caret != Call(edit, SCI_POSITIONFROMLINE, line)) return;
    const Sci_Position from = Call(edit, SCI_POSITIONFROMLINE, line - 1);
    const Sci_Position to = Call(edit, SCI_GETLINEENDPOSITION, line - 1);
    Sci_Position end = from;
    while (end < to) {
        const auto c = static_cast<char>(Call(edit, SCI_GETCHARAT, end));
        if (c != ' ' && c != '\t') break;
        ++end;
    }
    if (end == from) return;
    const std::string indent = Bytes(edit, from, end);
    Call(edit, SCI_REPLACESEL, 0, reinterpret_cast<sptr_t>(indent.c_str()));
    FormatInserted(edit, caret, static_cast<Sci_Position>(indent.size()));
}

bool IsBrace(sptr_t c) { return c == '(' || c == ')' || c == '[' || c == ']' || c == '{' || c == '}'; }

// The brace before or after the caret and its partner, or the lone one marked.
void ShowBraces(HWND edit, Area& st) {
    const Sci_Position caret = Call(edit, SCI_GETCURRENTPOS);
    Sci_Position at = -1;
    if (Call(edit, SCI_GETLENGTH) <= kBraceMatchLimit) {
        if (caret > 0 && IsBrace(Call(edit, SCI_GETCHARAT, caret - 1))) at = caret - 1;
        else if (IsBrace(Call(edit, SCI_GETCHARAT, caret))) at = caret;
    }
    if (at < 0) {
        if (st.braceShown) Call(edit, SCI_BRACEHIGHLIGHT, INVALID_POSITION, INVALID_POSITION);
        st.braceShown = false;
        return;
    }
    const Sci_Position partner = Call(edit, SCI_BRACEMATCH, at, 0);
    if (partner < 0) Call(edit, SCI_BRACEBADLIGHT, at);
    else Call(edit, SCI_BRACEHIGHLIGHT, at, partner);
    st.braceShown = true;
}

// A character typed away from the control's gap first moves the gap there, copying all the text
// between. So while the caret waits away from the gap, the gap is moved to it 2 MB at a time, steps
// after each other for a few ms at each tick while no key or click waits (one that comes waits one
// step at most). The first steps wait for the timer even after a load, so the text is painted first.
// (Under Wine, telling the shell of a recent file forks the program, and every page then faults on
// its next write, 4 ms per MB in a virtual machine: moves made before that were paid again after it.
// Windows has no such cost.) Style bytes (texts up to the colouring limit) have a gap of their own
// that only a change moves, so there the steps back are changes too: else the first key at the top
// of 10 MB, a second after the open, waited 50 ms for its style bytes.
constexpr Sci_Position kGapStep = 2 << 20, kGapNear = 1 << 20;
constexpr UINT_PTR kGapTimer = 0x6761;
constexpr auto kGapBurst = std::chrono::milliseconds(12);

// The control moves its gap forward only for a change there, so a space goes in at `at` and out
// again, unrecorded and unreported: the text, its undo steps and its saved state stay as they were.
// Only for a lone caret, which the insertion would put back where it was, and not before coloured
// text, which would be coloured again from there.
bool GapForwardTo(HWND edit, Sci_Position at) {
    if (Call(edit, SCI_GETREADONLY) || Call(edit, SCI_GETSELECTIONS) != 1 || !Call(edit, SCI_GETSELECTIONEMPTY) ||
        Call(edit, SCI_GETSELECTIONMODE) != SC_SEL_STREAM || Call(edit, SCI_GETSELECTIONNCARETVIRTUALSPACE, 0))
        return false;
    at = Call(edit, SCI_POSITIONBEFORE, at + 1);  // not inside a character or a CR LF
    if (!(Call(edit, SCI_GETDOCUMENTOPTIONS) & SC_DOCUMENTOPTION_STYLES_NONE) && Call(edit, SCI_GETENDSTYLED) > at)
        return false;
    const sptr_t events = Call(edit, SCI_GETMODEVENTMASK);
    const sptr_t undo = Call(edit, SCI_GETUNDOCOLLECTION);
    const Sci_Position length = Call(edit, SCI_GETLENGTH);
    Call(edit, SCI_SETMODEVENTMASK, 0);
    Call(edit, SCI_SETUNDOCOLLECTION, 0);
    Call(edit, SCI_INSERTTEXT, static_cast<uptr_t>(at), reinterpret_cast<sptr_t>(" "));
    const bool in = Call(edit, SCI_GETLENGTH) == length + 1;
    if (in) Call(edit, SCI_DELETERANGE, static_cast<uptr_t>(at), 1);
    Call(edit, SCI_SETUNDOCOLLECTION, undo);
    Call(edit, SCI_SETMODEVENTMASK, events);
    return in;
}

// False once the gap is near the caret, or cannot go nearer.
bool StepGapToCaret(HWND edit) {
    const auto end = std::chrono::steady_clock::now() + kGapBurst;
    for (;;) {
        const Sci_Position gap = Call(edit, SCI_GETGAPPOSITION), caret = Call(edit, SCI_GETCURRENTPOS);
        if (gap - caret > kGapNear) {
            const Sci_Position to = std::max(caret, gap - kGapStep);
            if ((Call(edit, SCI_GETDOCUMENTOPTIONS) & SC_DOCUMENTOPTION_STYLES_NONE) || !GapForwardTo(edit, to))
                Call(edit, SCI_GETRANGEPOINTER, static_cast<uptr_t>(to), gap - to + 1);  // a range across the gap: the gap goes to its start
        } else if (caret - gap > kGapNear) {
            if (!GapForwardTo(edit, std::min(caret, gap + kGapStep))) return false;
        } else {
            return false;
        }
        if (GetInputState() || std::chrono::steady_clock::now() >= end) return true;
    }
}

}  // namespace

void FollowCaretWithGap(HWND edit) {
    if (Area::Of(edit).gapHeld > 0) return;
    const Sci_Position away = Call(edit, SCI_GETGAPPOSITION) - Call(edit, SCI_GETCURRENTPOS);
    if (away > kGapNear || away < -kGapNear) SetTimer(edit, kGapTimer, 10, nullptr);
}

bool OnGapTimer(HWND edit, UINT_PTR id) {
    if (id != kGapTimer) return false;
    if (Area::Of(edit).gapHeld > 0 || !StepGapToCaret(edit)) KillTimer(edit, kGapTimer);
    return true;
}

void HoldGap(HWND edit, bool hold) {
    Area& st = Area::Of(edit);
    st.gapHeld += hold ? 1 : -1;
    if (st.gapHeld > 0) KillTimer(edit, kGapTimer);
    else FollowCaretWithGap(edit);
}

bool OnNotify(HWND edit, const NMHDR& header) {
    const auto& n = reinterpret_cast<const SCNotification&>(header);
    Area& st = Area::Of(edit);
    switch (n.nmhdr.code) {
    case SCN_CHARADDED: {
        // The character is in and the caret after it.
        const Sci_Position caret = Call(edit, SCI_GETCURRENTPOS);
        const Sci_Position before = Call(edit, SCI_POSITIONBEFORE, caret);
        FormatInserted(edit, before, caret - before);
        if (n.ch == '\n' || (n.ch == '\r' && Call(edit, SCI_GETEOLMODE) == SC_EOL_CR)) IndentNewLine(edit);
        break;
    }
    case SCN_UPDATEUI:
        if ((n.updated & SC_UPDATE_SELECTION) && st.caretPos != Call(edit, SCI_GETCURRENTPOS))
            st.caretPos = -1;  // the caret moved away from its format
        if (n.updated & (SC_UPDATE_SELECTION | SC_UPDATE_CONTENT)) ShowBraces(edit, st);
        if (n.updated & SC_UPDATE_SELECTION) FollowCaretWithGap(edit);
        return (n.updated & (SC_UPDATE_SELECTION | SC_UPDATE_CONTENT)) != 0;
    case SCN_MODIFIED:
        if (n.linesAdded) UpdateNumberMargin(edit, st);
        if (st.language != syntax::Language::None) ColourAheadLater(edit);
        break;
    case SCN_ZOOM: UpdateNumberMargin(edit, st, true); break;
    default: break;
    }
    return false;
}

}  // namespace editarea
