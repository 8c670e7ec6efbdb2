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
// between: the whole text for the first character at the top of a file just opened (the gap is at
// its end). So while the caret waits before the gap, the gap is moved to it a few MB at a time, steps
// after each other for a few ms at each tick while no key or click waits (one that comes waits one
// step at most); the control moves it this way only towards the start, so a caret after it waits for
// the keystroke. The first steps wait for the timer even after a load: made before the text's first
// paint, they left later forward moves slower under Wine (the first key in the middle of 100 MB:
// 24 ms against 9), for no reason found.
constexpr Sci_Position kGapStep = 8 << 20, kGapNear = 1 << 20;
constexpr UINT_PTR kGapTimer = 0x6761;
constexpr auto kGapBurst = std::chrono::milliseconds(12);

// False once the gap is near the caret.
bool StepGapToCaret(HWND edit) {
    const auto end = std::chrono::steady_clock::now() + kGapBurst;
    for (;;) {
        const Sci_Position gap = Call(edit, SCI_GETGAPPOSITION), caret = Call(edit, SCI_GETCURRENTPOS);
        if (gap - caret <= kGapNear) return false;
        const Sci_Position to = std::max(caret, gap - kGapStep);
        Call(edit, SCI_GETRANGEPOINTER, static_cast<uptr_t>(to), gap - to + 1);  // a range across the gap: the gap goes to its start
        if (GetInputState() || std::chrono::steady_clock::now() >= end) return true;
    }
}

}  // namespace

void FollowCaretWithGap(HWND edit) {
    if (Call(edit, SCI_GETGAPPOSITION) - Call(edit, SCI_GETCURRENTPOS) > kGapNear) SetTimer(edit, kGapTimer, 10, nullptr);
}

bool OnGapTimer(HWND edit, UINT_PTR id) {
    if (id != kGapTimer) return false;
    if (!StepGapToCaret(edit)) KillTimer(edit, kGapTimer);
    return true;
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
        break;
    case SCN_ZOOM: UpdateNumberMargin(edit, st, true); break;
    default: break;
    }
    return false;
}

}  // namespace editarea
