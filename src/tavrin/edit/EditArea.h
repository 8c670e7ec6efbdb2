// The editing area `t1` on the Scintilla source-editing control: a UTF-8 document, GDI drawing,
// no wrapping. Positions given and taken here are UTF-16 code units of the text as the control
// holds it (its line ends as they are), as the Find dialog and the Edit commands count them.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "HeldText.h"
#include "LineEnds.h"
#include "SyntaxScheme.h"
#include "TextStyles.h"

namespace Scintilla {
class ILoader;
}

namespace editarea {

// A lexer styles everything before what it shows: past this size a jump to the end would wait
// seconds for it, so bigger texts show plain and keep no style bytes.
inline constexpr size_t kColourLimit = 16 << 20;
// Wrapping a text is the control's idle work, taken up again from each edit above where it got to,
// and each key and scroll waits on it while it goes on: past this size that is minutes, so bigger
// texts show unwrapped.
inline constexpr size_t kWrapLimit = 16 << 20;

// Registers the control's window class (once); false when it cannot be registered.
bool RegisterWindowClass();

HWND Create(HWND parent, int id);

// The whole text as UTF-16, line ends as held.
std::wstring GetText(HWND edit);
// The text as the control stores it (UTF-8), valid until the next change: in one run (moving the
// control's gap to its end), or in the two it lies in (the gap stays).
std::string_view StoredText(HWND edit);
HeldText Held(HWND edit);
// The line end typed and pasted lines get.
void SetNewLineEnds(HWND edit, docfile::LineEnd style);
// Bytes [from, to) of that text copied to `into`, followed by a NUL, without moving the control's gap.
void CopyStoredPart(HWND edit, size_t from, size_t to, char* into);
// The length of that text in UTF-16 code units, and in the bytes the control stores.
size_t TextLength(HWND edit);
size_t StoredLength(HWND edit);

// Called while a text goes in, with the bytes done so far.
using Progress = std::function<void(size_t done, size_t total)>;
// Replaces the whole content with UTF-8 bytes, without an undo step and unmodified, the caret at
// the start; false when the process has no memory for it (the old content then stays).
bool SetUtf8(HWND edit, std::string_view utf8, const Progress& progress = {});

// A text going into a new document of the area piece by piece, shown only by Finish (as SetUtf8
// shows it); dropped unshown when destroyed before, the area keeping what it had. Add and Restart
// may run on a worker while the area's thread keeps its messages going; the rest on that thread.
class Loader {
public:
    // `bytes`: about how much text comes.
    Loader(HWND edit, size_t bytes) : edit_(edit), bytes_(bytes) {}
    ~Loader();
    Loader(const Loader&) = delete;
    Loader& operator=(const Loader&) = delete;
    // False when the process has no memory for it.
    bool Add(std::string_view utf8);
    // What came so far is dropped.
    void Restart();
    // After the last Add, on the same thread: the control's gap goes to the start of the text, where
    // the caret is shown, so the first key typed there has nothing to move.
    void Settle();
    size_t Size() const { return size_; }
    bool Finish();

private:
    HWND edit_;
    size_t bytes_;
    size_t size_ = 0;
    Scintilla::ILoader* loader_ = nullptr;
    void* settled_ = nullptr;  // the finished document, when Settle made it
};
// Whether the text may show in colour: small enough, and with room for styles.
bool Colourable(HWND edit);
// View > Word Wrap: kept for every text, applied to those up to kWrapLimit. Whether this one wraps.
bool SetWordWrap(HWND edit, bool wanted);
bool SetText(HWND edit, const std::wstring& text, const Progress& progress = {});

// A place in the text counted both ways: in UTF-16 units and in the control's bytes.
struct Place {
    size_t units = 0, bytes = 0;
};
// The first place at or after `from` (UTF-16) where `what` stands exactly as typed, looked for in the
// control's own text without copying it; counted from `known` (a place of this same text) when it
// lies at or before `from`. FindsInPlace: whether `what` can be (not empty, no half of a pair).
bool FindsInPlace(std::wstring_view what);
std::optional<Place> FindInPlace(HWND edit, std::wstring_view what, size_t from, Place known = {});
// Selects `bytes` bytes from a place found, scrolled into view as Select does.
void SelectFound(HWND edit, const Place& at, size_t bytes);

// The selection in UTF-16 positions; Select scrolls it into view.
void GetSelection(HWND edit, size_t& start, size_t& end);
void Select(HWND edit, size_t start, size_t end);
std::wstring SelectedText(HWND edit);
// Replaces the selection as typing would (an undo step, formatted as typed text).
void ReplaceSelection(HWND edit, const std::wstring& text);

void Undo(HWND edit);
void SelectAll(HWND edit);

// The control's own modified flag, set by any change and cleared by a mark (and by undoing back to it).
void MarkUnmodified(HWND edit);
bool Modified(HWND edit);
// Whether the control reports each insertion and deletion to its parent.
bool ReportsChanges(HWND edit);
// Whether the user has given no input for `ms`: none to the session, and no key or mouse message
// to the control (some come sent, not through the input queue).
bool QuietFor(HWND edit, unsigned ms);

// While held, the control's gap stays where it is, so the two runs of Held stay valid through a
// question's message loop; released, it follows the caret again.
void HoldGap(HWND edit, bool hold);

// The face every text of the area is drawn in, and its base size.
std::wstring FaceName(HWND edit);
void SetBaseFont(HWND edit, const std::wstring& face, BYTE charset, double points);

// Colour and size at the selection (of the text typed next at a caret); false when it mixes several.
bool SelectionColor(HWND edit, COLORREF& color);
bool SelectionPoints(HWND edit, double& points);
bool SelectionBold(HWND edit);
bool SelectionItalic(HWND edit);

void SetSelectionFont(HWND edit, bool bold, bool italic, double points);
void SetSelectionColor(HWND edit, COLORREF color);
// Background of the whole area.
void SetBackColor(HWND edit, COLORREF color);
COLORREF BackColor(HWND edit);

// Colouring by the language's lexer; None shows the text plain again. Colouring drops the formats
// given to parts of the text; giving one (bold, italic, a size or a colour) turns colouring off.
// Neither touches the text, its undo history or its modified state.
void SetLanguage(HWND edit, syntax::Language language);
syntax::Language Language(HWND edit);

// A margin with the line numbers, as wide as the largest number needs.
void ShowLineNumbers(HWND edit, bool show);
void SetTabWidth(HWND edit, int columns);

// The caret's 1-based line and column (a tab and a character beyond 16 bits count one each).
void CaretLineColumn(HWND edit, int64_t& line, int64_t& column);
int64_t LineCount(HWND edit);
// The caret to the start of a 0-based line, scrolled into view.
void GoToLine(HWND edit, int64_t line);
// The caret to a 0-based line and character of it (at most its end), scrolled into view.
void GoToPlace(HWND edit, int64_t line, int64_t column);

// `length` UTF-16 units at `start` to become `with`.
struct Edit {
    size_t start = 0, length = 0;
    std::wstring with;
};
// Makes the edits (ascending, apart) as one undo step.
void ReplaceRanges(HWND edit, const std::vector<Edit>& edits);
// The 0-based line of a UTF-16 position, and a line's text without its end.
int64_t LineOf(HWND edit, size_t pos);
std::wstring LineText(HWND edit, int64_t line);

// The parent passes the control's WM_NOTIFY here: text typed at a caret that was given a format
// takes it, a new line takes the previous one's indent, the brace at the caret shows its partner.
// True when the caret or the text may have moved (the caret's line and column to show again).
bool OnNotify(HWND edit, const NMHDR& header);

}  // namespace editarea
