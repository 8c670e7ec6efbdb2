#include "EditArea.h"

#include <ole2.h>
#include <shellapi.h>

#include <algorithm>
#include <map>
#include <vector>

#include "CodeFolding.h"
#include "ILoader.h"
#include "LexerStyles.h"
#include "Scintilla.h"
#include "TextConv.h"

namespace editarea {

namespace {

// One indicator carries every colour the user gives text: its value is the colour.
constexpr int kColourIndicator = INDICATOR_CONTAINER;
constexpr size_t kLoadChunk = 1 << 20;
// Above this a brace without a partner would be looked for through the whole text at every caret move.
constexpr Sci_Position kBraceMatchLimit = 8 << 20;
constexpr int kNumberMargin = 0;

// What the area remembers beside the control: the formats given out as styles, the base font and
// background, and a format given to the caret for the text typed there next.
struct State {
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
};

std::map<HWND, State>& States() {
    static std::map<HWND, State> states;
    return states;
}

State& StateOf(HWND edit) { return States()[edit]; }

sptr_t Call(HWND edit, unsigned int msg, uptr_t wp = 0, sptr_t lp = 0) {
    return static_cast<sptr_t>(SendMessageW(edit, msg, static_cast<WPARAM>(wp), static_cast<LPARAM>(lp)));
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
    const Sci_Position line = Call(edit, SCI_LINEFROMPOSITION, pos);
    const Sci_Position start = Call(edit, SCI_POSITIONFROMLINE, line);
    return static_cast<size_t>(Call(edit, SCI_INDEXPOSITIONFROMLINE, line, SC_LINECHARACTERINDEX_UTF16) +
                               Call(edit, SCI_COUNTCODEUNITS, start, pos));
}

void ByteSelection(HWND edit, Sci_Position& start, Sci_Position& end) {
    start = Call(edit, SCI_GETSELECTIONSTART);
    end = Call(edit, SCI_GETSELECTIONEND);
}

// A style's look: the base font, its own weight, slant and size, the area's background.
void ApplyStyle(HWND edit, const State& st, int style) {
    const textstyles::Format f = st.styles.FormatOf(style);
    Call(edit, SCI_STYLESETBOLD, style, f.bold);
    Call(edit, SCI_STYLESETITALIC, style, f.italic);
    Call(edit, SCI_STYLESETSIZEFRACTIONAL, style, f.size100 ? f.size100 : st.baseSize100);
}

// The line-number margin as wide as the last line's number needs (at least two digits).
void UpdateNumberMargin(HWND edit, State& st, bool force = false) {
    if (!st.lineNumbers) {
        if (force || st.numberDigits) Call(edit, SCI_SETMARGINWIDTHN, kNumberMargin, 0);
        st.numberDigits = 0;
        return;
    }
    int digits = 2;
    for (Sci_Position n = Call(edit, SCI_GETLINECOUNT); n >= 100; n /= 10) ++digits;
    if (digits == st.numberDigits && !force) return;
    st.numberDigits = digits;
    std::string sample(static_cast<size_t>(digits) + 1, '9');
    sample[0] = '_';
    const sptr_t width = Call(edit, SCI_TEXTWIDTH, STYLE_LINENUMBER, reinterpret_cast<sptr_t>(sample.c_str()));
    Call(edit, SCI_SETMARGINWIDTHN, kNumberMargin, width + 4);
}

void ApplyAllStyles(HWND edit, State& st) {
    const bool coloured = st.language != syntax::Language::None;
    const bool dark = syntax::IsDark(st.back);
    const std::string face = WideToUtf8(st.face);
    Call(edit, SCI_STYLESETFONT, STYLE_DEFAULT, reinterpret_cast<sptr_t>(face.c_str()));
    Call(edit, SCI_STYLESETCHARACTERSET, STYLE_DEFAULT, st.charset);
    Call(edit, SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, st.baseSize100);
    Call(edit, SCI_STYLESETBACK, STYLE_DEFAULT, st.back);
    // Plain text keeps the system's colour unless the scheme's dark variant needs a light one.
    Call(edit, SCI_STYLESETFORE, STYLE_DEFAULT,
         coloured ? syntax::LookOf(syntax::Role::Plain, dark).fore : GetSysColor(COLOR_WINDOWTEXT));
    Call(edit, SCI_STYLECLEARALL);  // every style from the default, then each one's own
    if (coloured) lexerstyles::ApplyLooks(edit, st.language, dark);
    for (int style : st.styles.Used()) ApplyStyle(edit, st, style);
    // The margin and the braces stand apart from the text.
    Call(edit, SCI_STYLESETBACK, STYLE_LINENUMBER, dark ? RGB(48, 48, 48) : GetSysColor(COLOR_BTNFACE));
    Call(edit, SCI_STYLESETFORE, STYLE_LINENUMBER, dark ? RGB(170, 170, 170) : GetSysColor(COLOR_GRAYTEXT));
    Call(edit, SCI_STYLESETBOLD, STYLE_BRACELIGHT, 1);
    Call(edit, SCI_STYLESETBACK, STYLE_BRACELIGHT, dark ? RGB(40, 80, 120) : RGB(200, 225, 255));
    Call(edit, SCI_STYLESETBOLD, STYLE_BRACEBAD, 1);
    Call(edit, SCI_STYLESETFORE, STYLE_BRACEBAD, dark ? RGB(255, 110, 110) : RGB(210, 0, 0));
    // A dark caret would vanish on a dark background.
    Call(edit, SCI_SETCARETFORE, dark ? RGB(230, 230, 230) : GetSysColor(COLOR_WINDOWTEXT));
    UpdateNumberMargin(edit, st, true);
}

// The distinct styles of a byte range (the style before a caret for an empty one).
std::vector<int> StylesIn(HWND edit, Sci_Position from, Sci_Position to) {
    std::vector<int> found;
    auto note = [&](int s) {
        for (int f : found)
            if (f == s) return;
        found.push_back(s);
    };
    if (from >= to) {
        note(from > 0 ? static_cast<int>(Call(edit, SCI_GETSTYLEINDEXAT, from - 1)) : textstyles::kPlain);
        return found;
    }
    std::vector<char> cells;
    for (Sci_Position at = from; at < to && found.size() < 2;) {
        const Sci_Position n = std::min<Sci_Position>(to - at, 1 << 16);
        cells.assign(static_cast<size_t>(n) * 2 + 2, 0);
        Sci_TextRangeFull tr{{at, at + n}, cells.data()};
        Call(edit, SCI_GETSTYLEDTEXTFULL, 0, reinterpret_cast<sptr_t>(&tr));
        for (Sci_Position i = 0; i < n; ++i) note(static_cast<unsigned char>(cells[static_cast<size_t>(i) * 2 + 1]));
        at += n;
    }
    return found;
}

// The colour indicator's value over a byte range: false when it changes inside.
bool ColourIn(HWND edit, Sci_Position from, Sci_Position to, int& value) {
    if (from >= to) {
        value = from > 0 ? static_cast<int>(Call(edit, SCI_INDICATORVALUEAT, kColourIndicator, from - 1)) : 0;
        return true;
    }
    value = static_cast<int>(Call(edit, SCI_INDICATORVALUEAT, kColourIndicator, from));
    const Sci_Position runEnd = Call(edit, SCI_INDICATOREND, kColourIndicator, from);
    return runEnd >= to || runEnd == 0;
}

void FillColour(HWND edit, Sci_Position from, Sci_Position length, int value) {
    Call(edit, SCI_SETINDICATORCURRENT, kColourIndicator);
    if (value) {
        Call(edit, SCI_SETINDICATORVALUE, value);
        Call(edit, SCI_INDICATORFILLRANGE, from, length);
    } else {
        Call(edit, SCI_INDICATORCLEARRANGE, from, length);
    }
}

// Text just put in at `pos` takes the caret's format when one waits there, else the format of
// the character before it, as typing continues the text's look.
void FormatInserted(HWND edit, Sci_Position pos, Sci_Position length) {
    State& st = StateOf(edit);
    int style = textstyles::kPlain, colour = 0;
    if (st.caretPos == pos) {
        style = st.caretStyle;
        colour = st.caretColour;
    } else if (pos > 0) {
        style = static_cast<int>(Call(edit, SCI_GETSTYLEINDEXAT, pos - 1));
        colour = static_cast<int>(Call(edit, SCI_INDICATORVALUEAT, kColourIndicator, pos - 1));
    }
    // While a lexer colours the text, it styles what comes in.
    if (style != textstyles::kPlain && st.language == syntax::Language::None) {
        Call(edit, SCI_STARTSTYLING, pos);
        Call(edit, SCI_SETSTYLING, length, style);
    }
    FillColour(edit, pos, length, colour);
    if (st.caretPos == pos) st.caretPos = pos + length;  // the format goes on with the typing
}

// Files dragged from a shell window onto the area reach the parent as WM_DROPFILES, as they do
// over the rest of the window. The control's own target takes only text, and would refuse them.
class FileDropTarget final : public IDropTarget {
public:
    explicit FileDropTarget(HWND edit) : edit_(edit) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        files_ = data && data->QueryGetData(&f) == S_OK;
        *effect = files_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = files_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM m{};
        if (!files_ || !data || data->GetData(&f, &m) != S_OK) return S_OK;
        // The parent frees the copy, as it does a WM_DROPFILES of its own.
        const SIZE_T bytes = GlobalSize(m.hGlobal);
        HGLOBAL copy = GlobalAlloc(GHND, bytes);
        if (copy) {
            memcpy(GlobalLock(copy), GlobalLock(m.hGlobal), bytes);
            GlobalUnlock(copy);
            GlobalUnlock(m.hGlobal);
            PostMessageW(GetParent(edit_), WM_DROPFILES, reinterpret_cast<WPARAM>(copy), 0);
            *effect = DROPEFFECT_COPY;
        }
        ReleaseStgMedium(&m);
        return S_OK;
    }

private:
    HWND edit_;
    ULONG refs_ = 1;
    bool files_ = false;
};

}  // namespace

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
    States()[h] = State{};
    Call(h, SCI_SETCODEPAGE, SC_CP_UTF8);
    Call(h, SCI_SETTECHNOLOGY, SC_TECHNOLOGY_DEFAULT);  // GDI: DirectWrite is unreliable under Wine
    Call(h, SCI_SETWRAPMODE, SC_WRAP_NONE);
    Call(h, SCI_SETMARGINWIDTHN, 1, 0);
    Call(h, SCI_SETSCROLLWIDTH, 1);
    Call(h, SCI_SETSCROLLWIDTHTRACKING, 1);
    Call(h, SCI_SETEOLMODE, SC_EOL_CRLF);
    Call(h, SCI_SETMODEVENTMASK, SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT);
    Call(h, SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF16);
    Call(h, SCI_INDICSETSTYLE, kColourIndicator, INDIC_TEXTFORE);
    Call(h, SCI_INDICSETFLAGS, kColourIndicator, SC_INDICFLAG_VALUEFORE);
    Call(h, SCI_SETMARGINTYPEN, kNumberMargin, SC_MARGIN_NUMBER);
    Call(h, SCI_SETTABWIDTH, 4);
    ApplyAllStyles(h, StateOf(h));
    RevokeDragDrop(h);
    auto* target = new FileDropTarget(h);
    RegisterDragDrop(h, target);  // held by OLE until the window goes
    target->Release();
    return h;
}

std::wstring GetText(HWND edit) { return Utf8ToWide(StoredText(edit)); }

std::string_view StoredText(HWND edit) {
    const auto* p = reinterpret_cast<const char*>(Call(edit, SCI_GETCHARACTERPOINTER));
    return p ? std::string_view(p, static_cast<size_t>(Call(edit, SCI_GETLENGTH))) : std::string_view();
}

void CopyStoredText(HWND edit, std::string& into) {
    const Sci_Position n = Call(edit, SCI_GETLENGTH);
    into.resize(static_cast<size_t>(n) + 1);  // the control ends the copy with a NUL
    Sci_TextRangeFull tr{{0, n}, into.data()};
    Call(edit, SCI_GETTEXTRANGEFULL, 0, reinterpret_cast<sptr_t>(&tr));
    into.pop_back();
}

void SetNewLineEnds(HWND edit, docfile::LineEnd style) {
    Call(edit, SCI_SETEOLMODE,
         style == docfile::LineEnd::Lf ? SC_EOL_LF : style == docfile::LineEnd::Cr ? SC_EOL_CR : SC_EOL_CRLF);
}

size_t TextLength(HWND edit) {
    // From the UTF-16 line index: only the last line is counted, not the whole text (every Select asks).
    const Sci_Position last = Call(edit, SCI_GETLINECOUNT) - 1;
    return static_cast<size_t>(Call(edit, SCI_INDEXPOSITIONFROMLINE, last, SC_LINECHARACTERINDEX_UTF16) +
                               Call(edit, SCI_COUNTCODEUNITS, Call(edit, SCI_POSITIONFROMLINE, last),
                                    Call(edit, SCI_GETLENGTH)));
}

size_t StoredLength(HWND edit) { return static_cast<size_t>(Call(edit, SCI_GETLENGTH)); }

bool SetUtf8(HWND edit, std::string_view utf8, const Progress& progress) {
    // Loaded into a document of its own: the one shown stays whole when memory runs out.
    // Room beyond the text: without it the first character typed makes the control copy the whole
    // text (and its styles) into a new, larger block (0.75 s for 100 MB under Wine).
    const size_t room = std::max<size_t>(64 << 10, utf8.size() / 16);
    auto* loader = reinterpret_cast<Scintilla::ILoader*>(
        Call(edit, SCI_CREATELOADER, static_cast<uptr_t>(utf8.size() + room),
             sizeof(void*) > 4 ? SC_DOCUMENTOPTION_TEXT_LARGE : SC_DOCUMENTOPTION_DEFAULT));
    if (!loader) return false;
    for (size_t done = 0; done < utf8.size();) {
        const size_t n = std::min(kLoadChunk, utf8.size() - done);
        if (loader->AddData(utf8.data() + done, static_cast<Sci_Position>(n)) != SC_STATUS_OK) {
            loader->Release();
            return false;
        }
        done += n;
        if (progress) progress(done, utf8.size());
    }
    void* doc = loader->ConvertToDocument();
    Call(edit, SCI_SETDOCPOINTER, 0, reinterpret_cast<sptr_t>(doc));
    Call(edit, SCI_RELEASEDOCUMENT, 0, reinterpret_cast<sptr_t>(doc));  // the view holds it now
    // Settings of the document rather than the view; a loaded document does not collect undo steps.
    Call(edit, SCI_SETUNDOCOLLECTION, 1);
    Call(edit, SCI_SETCODEPAGE, SC_CP_UTF8);
    Call(edit, SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF16);
    Call(edit, SCI_EMPTYUNDOBUFFER);
    Call(edit, SCI_SETSAVEPOINT);
    State& st = StateOf(edit);
    st.caretPos = -1;
    st.braceShown = false;
    st.formatsGiven = false;
    // The lexer belongs to the document: the new one gets it again.
    if (st.language != syntax::Language::None) lexerstyles::SetLexer(edit, st.language);
    Call(edit, SCI_GOTOPOS, 0);
    UpdateNumberMargin(edit, st);
    return true;
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

bool ReportsChanges(HWND edit) {
    const sptr_t both = SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT;
    return (Call(edit, SCI_GETMODEVENTMASK) & both) == both && Call(edit, SCI_GETCOMMANDEVENTS);
}

std::wstring FaceName(HWND edit) { return StateOf(edit).face; }

void SetBaseFont(HWND edit, const std::wstring& face, BYTE charset, double points) {
    State& st = StateOf(edit);
    st.face = face;
    st.charset = charset;
    if (points > 0) st.baseSize100 = static_cast<int>(points * 100 + 0.5);
    ApplyAllStyles(edit, st);
}

bool SelectionColor(HWND edit, COLORREF& color) {
    Sci_Position s = 0, e = 0;
    ByteSelection(edit, s, e);
    const State& st = StateOf(edit);
    int value = 0;
    if (s == e && st.caretPos == s) value = st.caretColour;
    else if (!ColourIn(edit, s, e, value)) return false;
    color = value ? static_cast<COLORREF>(value & 0xFFFFFF) : GetSysColor(COLOR_WINDOWTEXT);
    return true;
}

namespace {

// The one format of the selection (the caret's), or false when it mixes several.
bool SelectionFormat(HWND edit, textstyles::Format& f) {
    Sci_Position s = 0, e = 0;
    ByteSelection(edit, s, e);
    const State& st = StateOf(edit);
    if (st.language != syntax::Language::None) {  // the lexer's styles are colours, not formats
        f = textstyles::Format{};
        return true;
    }
    if (s == e && st.caretPos == s) {
        f = st.styles.FormatOf(st.caretStyle);
        return true;
    }
    const std::vector<int> styles = StylesIn(edit, s, e);
    if (styles.size() != 1) return false;
    f = st.styles.FormatOf(styles[0]);
    return true;
}

}  // namespace

bool SelectionPoints(HWND edit, double& points) {
    textstyles::Format f;
    if (!SelectionFormat(edit, f)) return false;
    points = (f.size100 ? f.size100 : StateOf(edit).baseSize100) / 100.0;
    return true;
}

bool SelectionBold(HWND edit) {
    textstyles::Format f;
    return SelectionFormat(edit, f) && f.bold;
}

bool SelectionItalic(HWND edit) {
    textstyles::Format f;
    return SelectionFormat(edit, f) && f.italic;
}

void SetSelectionFont(HWND edit, bool bold, bool italic, double points) {
    State& st = StateOf(edit);
    int size100 = static_cast<int>(points * 100 + 0.5);
    if (size100 == st.baseSize100) size100 = 0;
    // A format given ends colouring, so that it shows and stays.
    if (textstyles::Format{bold, italic, size100} != textstyles::Format{}) SetLanguage(edit, syntax::Language::None);
    st.formatsGiven = true;
    const int style = st.styles.StyleFor({bold, italic, size100});
    if (style < 0) return;  // every style number in use: the text keeps its look
    ApplyStyle(edit, st, style);
    Sci_Position s = 0, e = 0;
    ByteSelection(edit, s, e);
    if (s == e) {
        if (st.caretPos != s) st.caretColour = static_cast<int>(s > 0 ? Call(edit, SCI_INDICATORVALUEAT, kColourIndicator, s - 1) : 0);
        st.caretPos = s;
        st.caretStyle = style;
        return;
    }
    Call(edit, SCI_STARTSTYLING, s);
    Call(edit, SCI_SETSTYLING, e - s, style);
}

void SetSelectionColor(HWND edit, COLORREF color) {
    SetLanguage(edit, syntax::Language::None);
    State& st = StateOf(edit);
    st.formatsGiven = true;
    const int value = static_cast<int>((color & 0xFFFFFF) | SC_INDICVALUEBIT);
    Sci_Position s = 0, e = 0;
    ByteSelection(edit, s, e);
    if (s == e) {
        if (st.caretPos != s) st.caretStyle = s > 0 ? static_cast<int>(Call(edit, SCI_GETSTYLEINDEXAT, s - 1)) : textstyles::kPlain;
        st.caretPos = s;
        st.caretColour = value;
        return;
    }
    FillColour(edit, s, e - s, value);
}

void SetBackColor(HWND edit, COLORREF color) {
    State& st = StateOf(edit);
    st.back = color;
    ApplyAllStyles(edit, st);  // a dark background takes the scheme's dark variant
}

COLORREF BackColor(HWND edit) { return StateOf(edit).back; }

namespace {

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
void ShowBraces(HWND edit, State& st) {
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

}  // namespace

void SetLanguage(HWND edit, syntax::Language language) {
    State& st = StateOf(edit);
    if (st.language == language) return;
    const bool wasColoured = st.language != syntax::Language::None;
    st.language = language;
    if (language != syntax::Language::None) {
        st.styles.Clear();
        st.caretPos = -1;
    }
    lexerstyles::SetLexer(edit, language);
    ApplyAllStyles(edit, st);
    if (wasColoured && language == syntax::Language::None) {
        // The lexer's style numbers would read as formats now: the text goes back to plain.
        Call(edit, SCI_STARTSTYLING, 0);
        Call(edit, SCI_SETSTYLING, Call(edit, SCI_GETLENGTH), textstyles::kPlain);
    }
}

syntax::Language Language(HWND edit) { return StateOf(edit).language; }

void ShowLineNumbers(HWND edit, bool show) {
    State& st = StateOf(edit);
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
    const State& st = StateOf(edit);
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

bool OnNotify(HWND edit, const NMHDR& header) {
    const auto& n = reinterpret_cast<const SCNotification&>(header);
    State& st = StateOf(edit);
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
