#include "EditArea.h"

#include <commctrl.h>

#include <algorithm>

#include "CodeFolding.h"
#include "EditAreaParts.h"
#include "ILoader.h"
#include "LexerStyles.h"
#include "Raii.h"
#include "TextConv.h"

namespace editarea {

namespace {

constexpr size_t kLoadChunk = 1 << 20;
constexpr UINT_PTR kAreaSubclass = 1;

// The area goes with its control.
LRESULT CALLBACK AreaProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    if (msg == WM_TIMER && (OnGapTimer(h, wp) || OnColourTimer(h, wp))) return 0;
    if (msg == WM_PAINT) ColourViewFirst(h);
    if ((msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST))
        reinterpret_cast<Area*>(data)->lastInput = GetTickCount();
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(h, AreaProc, kAreaSubclass);
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        delete reinterpret_cast<Area*>(data);
    }
    return DefSubclassProc(h, msg, wp, lp);
}

// A control of this thread's own, never shown, for work on a document apart from the window's view.
raii::Window OwnControl() {
    return raii::Window(CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleW(nullptr), nullptr));
}

// About how many lines a text of `bytes` holds, from its first piece (a tenth more, for the rest);
// 0 when that piece is too short to tell. Never more than a line per 4 bytes: a wrong guess costs
// the memory it holds, a low one only the growing it was to save.
size_t LinesGuess(std::string_view first, size_t bytes) {
    const docfile::LineEndCounts n = docfile::CountLineEnds(first);
    const size_t ends = n.crlf + n.lf + n.cr;
    if (first.size() >= bytes) return ends + 1;
    if (first.size() < (64u << 10)) return 0;
    const double guess = static_cast<double>(ends) * static_cast<double>(bytes) / static_cast<double>(first.size()) * 1.1;
    return std::min(static_cast<size_t>(guess), bytes / 4) + 1;
}

// The scroll width the first lines need, set with the text. The control finds it in its first paint
// and shows the scroll bar 50 ms later, resizing and redrawing the view under the first keys typed
// (30-40 ms). The longest line of the first hundred stands for them, as in a fixed-width face.
void WidenForFirstLines(HWND edit) {
    if (Call(edit, SCI_GETWRAPMODE) != SC_WRAP_NONE) return;
    const Sci_Position lines = std::min<Sci_Position>(Call(edit, SCI_GETLINECOUNT), 100);
    Sci_Position longest = -1, bytes = 0;
    for (Sci_Position line = 0; line < lines; ++line) {
        const Sci_Position n = Call(edit, SCI_GETLINEENDPOSITION, line) - Call(edit, SCI_POSITIONFROMLINE, line);
        if (n > bytes) longest = line, bytes = n;
    }
    if (longest < 0) return;
    const Sci_Position from = Call(edit, SCI_POSITIONFROMLINE, longest);
    std::string sample;
    for (char c : Bytes(edit, from, from + std::min<Sci_Position>(bytes, 400)))
        sample += c == '\t' ? std::string(4, ' ') : std::string(1, c);
    const sptr_t width = Call(edit, SCI_TEXTWIDTH, STYLE_DEFAULT, reinterpret_cast<sptr_t>(sample.c_str()));
    if (width > Call(edit, SCI_GETSCROLLWIDTH)) Call(edit, SCI_SETSCROLLWIDTH, width);
}

sptr_t WrapModeFor(const Area& st, size_t length) {
    return st.wrapWanted && length <= kWrapLimit ? SC_WRAP_WORD : SC_WRAP_NONE;
}

}  // namespace

Area::Area(HWND edit)
    : fn_(reinterpret_cast<SciFnDirect>(SendMessageW(edit, SCI_GETDIRECTFUNCTION, 0, 0))),
      ptr_(static_cast<sptr_t>(SendMessageW(edit, SCI_GETDIRECTPOINTER, 0, 0))) {}

Area& Area::Of(HWND edit) {
    if (auto* area = edit ? reinterpret_cast<Area*>(GetWindowLongPtrW(edit, GWLP_USERDATA)) : nullptr) return *area;
    static Area detached(nullptr);
    return detached;
}

std::string Bytes(HWND edit, Sci_Position from, Sci_Position to) {
    std::string s(static_cast<size_t>(to - from), '\0');
    if (s.empty()) return s;
    std::string buffer(s.size() + 1, '\0');
    Sci_TextRangeFull tr{{from, to}, buffer.data()};
    Call(edit, SCI_GETTEXTRANGEFULL, 0, reinterpret_cast<sptr_t>(&tr));
    s.assign(buffer.data(), s.size());
    return s;
}

// The UTF-16 line index, made when first needed (a text that nothing counts in UTF-16 goes without).
void NeedUtf16Index(HWND edit) {
    if (!(Call(edit, SCI_GETLINECHARACTERINDEX) & SC_LINECHARACTERINDEX_UTF16))
        Call(edit, SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF16);
}

// UTF-16 positions <-> the control's byte positions, through its UTF-16 line index.
Sci_Position BytePos(HWND edit, size_t u16) {
    const size_t total = TextLength(edit);
    if (u16 >= total) return Call(edit, SCI_GETLENGTH);
    const Sci_Position line = Call(edit, SCI_LINEFROMINDEXPOSITION, u16, SC_LINECHARACTERINDEX_UTF16);
    const Sci_Position start = Call(edit, SCI_POSITIONFROMLINE, line);
    const Sci_Position index = Call(edit, SCI_INDEXPOSITIONFROMLINE, line, SC_LINECHARACTERINDEX_UTF16);
    return Call(edit, SCI_POSITIONRELATIVECODEUNITS, start, static_cast<sptr_t>(u16) - index);
}

size_t Utf16Pos(HWND edit, Sci_Position pos) {
    NeedUtf16Index(edit);
    const Sci_Position line = Call(edit, SCI_LINEFROMPOSITION, pos);
    const Sci_Position start = Call(edit, SCI_POSITIONFROMLINE, line);
    return static_cast<size_t>(Call(edit, SCI_INDEXPOSITIONFROMLINE, line, SC_LINECHARACTERINDEX_UTF16) +
                               Call(edit, SCI_COUNTCODEUNITS, start, pos));
}

void ByteSelection(HWND edit, Sci_Position& start, Sci_Position& end) {
    start = Call(edit, SCI_GETSELECTIONSTART);
    end = Call(edit, SCI_GETSELECTIONEND);
}


bool RegisterWindowClass() {
    static const bool registered = Scintilla_RegisterClasses(GetModuleHandleW(nullptr)) != 0;
    return registered;
}

HWND Create(HWND parent, int id) {
    if (!RegisterWindowClass()) return nullptr;
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, L"Scintilla", L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN, 0, 0, 0,
                             0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                             nullptr);
    if (!h) return nullptr;
    auto* area = new Area(h);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(area));
    SetWindowSubclass(h, AreaProc, kAreaSubclass, reinterpret_cast<DWORD_PTR>(area));
    Call(h, SCI_SETCODEPAGE, SC_CP_UTF8);
    Call(h, SCI_SETTECHNOLOGY, SC_TECHNOLOGY_DEFAULT);  // GDI: DirectWrite is unreliable under Wine
    Call(h, SCI_SETWRAPMODE, SC_WRAP_NONE);
    Call(h, SCI_SETMARGINWIDTHN, 1, 0);
    Call(h, SCI_SETSCROLLWIDTH, 1);
    Call(h, SCI_SETSCROLLWIDTHTRACKING, 1);
    Call(h, SCI_SETEOLMODE, SC_EOL_CRLF);
    Call(h, SCI_SETMODEVENTMASK, SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT);
    Call(h, SCI_INDICSETSTYLE, kColourIndicator, INDIC_TEXTFORE);
    Call(h, SCI_INDICSETFLAGS, kColourIndicator, SC_INDICFLAG_VALUEFORE);
    Call(h, SCI_SETMARGINTYPEN, kNumberMargin, SC_MARGIN_NUMBER);
    Call(h, SCI_SETTABWIDTH, 4);
    ApplyAllStyles(h, Area::Of(h));
    AcceptFileDrops(h);
    return h;
}

std::wstring GetText(HWND edit) { return Utf8ToWide(StoredText(edit)); }

std::string_view StoredText(HWND edit) {
    const auto* p = reinterpret_cast<const char*>(Call(edit, SCI_GETCHARACTERPOINTER));
    return p ? std::string_view(p, static_cast<size_t>(Call(edit, SCI_GETLENGTH))) : std::string_view();
}

HeldText Held(HWND edit) {
    const Sci_Position length = Call(edit, SCI_GETLENGTH);
    const Sci_Position gap = std::clamp<Sci_Position>(Call(edit, SCI_GETGAPPOSITION), 0, length);
    const auto run = [&](Sci_Position a, Sci_Position b) {  // wholly on one side: the gap stays
        const auto* p = a < b ? reinterpret_cast<const char*>(Call(edit, SCI_GETRANGEPOINTER, static_cast<uptr_t>(a), b - a)) : nullptr;
        return p ? std::string_view(p, static_cast<size_t>(b - a)) : std::string_view();
    };
    return {run(0, gap), run(gap, length)};
}

void CopyStoredPart(HWND edit, size_t from, size_t to, char* into) {
    Sci_TextRangeFull tr{{static_cast<Sci_Position>(from), static_cast<Sci_Position>(to)}, into};
    Call(edit, SCI_GETTEXTRANGEFULL, 0, reinterpret_cast<sptr_t>(&tr));
}

void SetNewLineEnds(HWND edit, docfile::LineEnd style) {
    Call(edit, SCI_SETEOLMODE,
         style == docfile::LineEnd::Lf ? SC_EOL_LF : style == docfile::LineEnd::Cr ? SC_EOL_CR : SC_EOL_CRLF);
}

size_t TextLength(HWND edit) {
    NeedUtf16Index(edit);
    // From the UTF-16 line index: only the last line is counted, not the whole text (every Select asks).
    const Sci_Position last = Call(edit, SCI_GETLINECOUNT) - 1;
    return static_cast<size_t>(Call(edit, SCI_INDEXPOSITIONFROMLINE, last, SC_LINECHARACTERINDEX_UTF16) +
                               Call(edit, SCI_COUNTCODEUNITS, Call(edit, SCI_POSITIONFROMLINE, last),
                                    Call(edit, SCI_GETLENGTH)));
}

size_t StoredLength(HWND edit) { return static_cast<size_t>(Call(edit, SCI_GETLENGTH)); }

Loader::~Loader() {
    if (loader_) loader_->Release();
    if (settled_) SendMessageW(edit_, SCI_RELEASEDOCUMENT, 0, reinterpret_cast<LPARAM>(settled_));
}

bool Loader::Add(std::string_view utf8) {
    if (!loader_) {
        // Room beyond the text: without it the first character typed makes the control copy the
        // whole text into a new, larger block (0.75 s for 100 MB under Wine). No style bytes where
        // no colouring shows; positions of 64 bits only where 32 would not last.
        const size_t room = std::max<size_t>(64 << 10, bytes_ / 16);
        sptr_t options = bytes_ > kColourLimit ? SC_DOCUMENTOPTION_STYLES_NONE : SC_DOCUMENTOPTION_DEFAULT;
        if (sizeof(void*) > 4 && static_cast<unsigned long long>(bytes_) > (3ull << 29))
            options |= SC_DOCUMENTOPTION_TEXT_LARGE;
        // Made through a control of the reading thread's own: that thread, not the window's, takes the
        // first touch of the new memory, and the window's view of the text it shows stays whole.
        const raii::Window own = OwnControl();
        if (!own) return false;
        loader_ = reinterpret_cast<Scintilla::ILoader*>(
            SendMessageW(own.get(), SCI_CREATELOADER, static_cast<WPARAM>(bytes_ + room), static_cast<LPARAM>(options)));
        if (!loader_) return false;
        // The line index sized once: grown line by line, it would be copied into new memory time after time.
        if (const size_t lines = LinesGuess(utf8, bytes_); lines > 1) {
            SendMessageW(own.get(), SCI_SETDOCPOINTER, 0, reinterpret_cast<LPARAM>(loader_->ConvertToDocument()));
            SendMessageW(own.get(), SCI_ALLOCATELINES, static_cast<WPARAM>(lines), 0);
            SendMessageW(own.get(), SCI_SETDOCPOINTER, 0, 0);
        }
    }
    if (loader_->AddData(utf8.data(), static_cast<Sci_Position>(utf8.size())) != SC_STATUS_OK) return false;
    size_ += utf8.size();
    return true;
}

void Loader::Restart() {
    if (loader_) loader_->Release();
    loader_ = nullptr;
    size_ = 0;
}

void Loader::Settle() {
    if (!loader_ || settled_) return;
    // The text went in at its end, and so did the gap; moving it is a copy of the whole text, made
    // here rather than on the window's thread while keys wait. Without a control of this thread's
    // own to move it, the window's thread moves it in steps (FollowCaretWithGap).
    const raii::Window mover = OwnControl();
    if (!mover) return;
    settled_ = loader_->ConvertToDocument();
    loader_ = nullptr;
    SendMessageW(mover.get(), SCI_SETDOCPOINTER, 0, reinterpret_cast<LPARAM>(settled_));
    const auto length = SendMessageW(mover.get(), SCI_GETLENGTH, 0, 0);
    SendMessageW(mover.get(), SCI_GETRANGEPOINTER, 0, length + 1);  // a range across the gap: the gap goes to its start
    SendMessageW(mover.get(), SCI_SETDOCPOINTER, 0, 0);
}

bool Loader::Finish() {
    if (!loader_ && !settled_ && !Add({})) return false;
    void* doc = settled_ ? settled_ : loader_->ConvertToDocument();
    settled_ = nullptr;
    loader_ = nullptr;
    HWND edit = edit_;
    // Before the text goes in: a text too big to wrap never starts the control wrapping it.
    Call(edit, SCI_SETWRAPMODE, WrapModeFor(Area::Of(edit), size_));
    Call(edit, SCI_SETDOCPOINTER, 0, reinterpret_cast<sptr_t>(doc));
    Call(edit, SCI_RELEASEDOCUMENT, 0, reinterpret_cast<sptr_t>(doc));  // the view holds it now
    // Settings of the document rather than the view; a loaded document does not collect undo steps.
    // The UTF-16 line index comes only when something counts in UTF-16.
    Call(edit, SCI_SETUNDOCOLLECTION, 1);
    Call(edit, SCI_SETCODEPAGE, SC_CP_UTF8);
    Call(edit, SCI_EMPTYUNDOBUFFER);
    Call(edit, SCI_SETSAVEPOINT);
    Area& st = Area::Of(edit);
    st.caretPos = -1;
    st.braceShown = false;
    st.formatsGiven = false;
    st.skippedFrom = -1;
    st.firstFrom = st.firstTo = 0;
    // The lexer belongs to the document: the new one gets it again.
    if (st.language != syntax::Language::None) lexerstyles::SetLexer(edit, st.language);
    ColourAheadLater(edit);
    Call(edit, SCI_GOTOPOS, 0);
    UpdateNumberMargin(edit, st);
    WidenForFirstLines(edit);
    FollowCaretWithGap(edit);  // the text went in at its end, and so did the gap
    return true;
}

bool SetWordWrap(HWND edit, bool wanted) {
    Area& st = Area::Of(edit);
    st.wrapWanted = wanted;
    const sptr_t mode = WrapModeFor(st, StoredLength(edit));
    Call(edit, SCI_SETWRAPMODE, mode);
    return mode == SC_WRAP_WORD;
}

bool Colourable(HWND edit) {
    return StoredLength(edit) <= kColourLimit && !(Call(edit, SCI_GETDOCUMENTOPTIONS) & SC_DOCUMENTOPTION_STYLES_NONE);
}

bool SetUtf8(HWND edit, std::string_view utf8, const Progress& progress) {
    // Loaded into a document of its own: the one shown stays whole when memory runs out.
    Loader loader(edit, utf8.size());
    for (size_t done = 0; done < utf8.size();) {
        const size_t n = std::min(kLoadChunk, utf8.size() - done);
        if (!loader.Add(utf8.substr(done, n))) return false;
        done += n;
        if (progress) progress(done, utf8.size());
    }
    return loader.Finish();
}

bool SetText(HWND edit, const std::wstring& text, const Progress& progress) {
    return SetUtf8(edit, WideToUtf8(text), progress);
}

void GetSelection(HWND edit, size_t& start, size_t& end) {
    Sci_Position s = 0, e = 0;
    ByteSelection(edit, s, e);
    start = Utf16Pos(edit, s);
    end = e == s ? start : Utf16Pos(edit, e);
}

void Select(HWND edit, size_t start, size_t end) {
    const Sci_Position from = BytePos(edit, start), to = BytePos(edit, end);
    folding::Reveal(edit, Call(edit, SCI_LINEFROMPOSITION, from), Call(edit, SCI_LINEFROMPOSITION, to));
    Call(edit, SCI_SETSEL, from, to);
}

std::wstring SelectedText(HWND edit) {
    Sci_Position s = 0, e = 0;
    ByteSelection(edit, s, e);
    return Utf8ToWide(Bytes(edit, s, e));
}

void ReplaceSelection(HWND edit, const std::wstring& text) {
    Sci_Position s = 0, e = 0;
    ByteSelection(edit, s, e);
    const std::string bytes = WideToUtf8(text);
    Call(edit, SCI_REPLACESEL, 0, reinterpret_cast<sptr_t>(bytes.c_str()));
    if (!bytes.empty()) FormatInserted(edit, s, static_cast<Sci_Position>(bytes.size()));
}

void Undo(HWND edit) { Call(edit, SCI_UNDO); }
void SelectAll(HWND edit) { Call(edit, SCI_SELECTALL); }
void MarkUnmodified(HWND edit) { Call(edit, SCI_SETSAVEPOINT); }
bool Modified(HWND edit) { return Call(edit, SCI_GETMODIFY) != 0; }

bool QuietFor(HWND edit, unsigned ms) {
    LASTINPUTINFO input{sizeof(input)};
    const DWORD now = GetTickCount();
    if (GetLastInputInfo(&input) && now - input.dwTime < ms) return false;
    const DWORD last = Area::Of(edit).lastInput;
    return last == 0 || now - last >= ms;
}

bool ReportsChanges(HWND edit) {
    const sptr_t both = SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT;
    return (Call(edit, SCI_GETMODEVENTMASK) & both) == both && Call(edit, SCI_GETCOMMANDEVENTS);
}

void SetLanguage(HWND edit, syntax::Language language) {
    Area& st = Area::Of(edit);
    if (st.language == language) return;
    const bool wasColoured = st.language != syntax::Language::None;
    st.language = language;
    if (language != syntax::Language::None) {
        st.styles.Clear();
        st.caretPos = -1;
    }
    lexerstyles::SetLexer(edit, language);
    ColourAheadLater(edit);
    ApplyAllStyles(edit, st);
    if (wasColoured && language == syntax::Language::None) {
        // The lexer's style numbers would read as formats now: the text goes back to plain.
        Call(edit, SCI_STARTSTYLING, 0);
        Call(edit, SCI_SETSTYLING, Call(edit, SCI_GETLENGTH), textstyles::kPlain);
    }
}

syntax::Language Language(HWND edit) { return Area::Of(edit).language; }

void ShowLineNumbers(HWND edit, bool show) {
    Area& st = Area::Of(edit);
    st.lineNumbers = show;
    UpdateNumberMargin(edit, st, true);
}

void SetTabWidth(HWND edit, int columns) { Call(edit, SCI_SETTABWIDTH, columns); }

void CaretLineColumn(HWND edit, int64_t& line, int64_t& column) {
    const Sci_Position caret = Call(edit, SCI_GETCURRENTPOS);
    const Sci_Position l = Call(edit, SCI_LINEFROMPOSITION, caret);
    line = l + 1;
    column = Call(edit, SCI_COUNTCHARACTERS, Call(edit, SCI_POSITIONFROMLINE, l), caret) + 1;
}

int64_t LineCount(HWND edit) { return Call(edit, SCI_GETLINECOUNT); }

void GoToLine(HWND edit, int64_t line) {
    Call(edit, SCI_ENSUREVISIBLEENFORCEPOLICY, static_cast<uptr_t>(line));
    Call(edit, SCI_GOTOLINE, static_cast<uptr_t>(line));
}

void GoToPlace(HWND edit, int64_t line, int64_t column) {
    const Sci_Position last = Call(edit, SCI_GETLINECOUNT) - 1;
    if (line > last) line = last;
    if (line < 0) line = 0;
    const Sci_Position start = Call(edit, SCI_POSITIONFROMLINE, line), end = Call(edit, SCI_GETLINEENDPOSITION, line);
    Sci_Position pos = Call(edit, SCI_POSITIONRELATIVE, start, column);
    if (pos == 0 && column > 0) pos = end;  // past the end of the text
    if (pos > end) pos = end;
    Call(edit, SCI_ENSUREVISIBLEENFORCEPOLICY, line);
    Call(edit, SCI_GOTOPOS, pos);
}

int64_t LineOf(HWND edit, size_t pos) { return Call(edit, SCI_LINEFROMPOSITION, BytePos(edit, pos)); }

std::wstring LineText(HWND edit, int64_t line) {
    if (line < 0 || line >= Call(edit, SCI_GETLINECOUNT)) return {};
    return Utf8ToWide(Bytes(edit, Call(edit, SCI_POSITIONFROMLINE, line), Call(edit, SCI_GETLINEENDPOSITION, line)));
}

void ReplaceRanges(HWND edit, const std::vector<Edit>& edits) {
    if (edits.empty()) return;
    const Area& st = Area::Of(edit);
    if (!st.formatsGiven || st.language != syntax::Language::None) {
        // No format to keep between the matches: the stretch from the first to the last goes in as
        // one change, far quicker than one change per match.
        const Sci_Position from = BytePos(edit, edits.front().start);
        const Sci_Position to = BytePos(edit, edits.back().start + edits.back().length);
        const std::string old = Bytes(edit, from, to);
        std::string now;
        now.reserve(old.size() + edits.size() * edits.front().with.size());
        Sci_Position at = from;
        for (const Edit& e : edits) {
            const Sci_Position a = BytePos(edit, e.start), b = BytePos(edit, e.start + e.length);
            now.append(old, static_cast<size_t>(at - from), static_cast<size_t>(a - at));
            now += WideToUtf8(e.with);
            at = b;
        }
        Call(edit, SCI_SETTARGETRANGE, from, to);
        Call(edit, SCI_REPLACETARGET, now.size(), reinterpret_cast<sptr_t>(now.data()));
        return;
    }
    Call(edit, SCI_BEGINUNDOACTION);
    // From the last: the positions before a replacement stay as they were.
    for (auto it = edits.rbegin(); it != edits.rend(); ++it) {
        const std::string bytes = WideToUtf8(it->with);
        Call(edit, SCI_SETTARGETRANGE, BytePos(edit, it->start), BytePos(edit, it->start + it->length));
        Call(edit, SCI_REPLACETARGET, bytes.size(), reinterpret_cast<sptr_t>(bytes.data()));
    }
    Call(edit, SCI_ENDUNDOACTION);
}

}  // namespace editarea
