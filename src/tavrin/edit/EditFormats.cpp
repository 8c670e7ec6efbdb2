// The formats the user gives the text (bold, italic, sizes and colours) and the looks of the
// area's styles: the base font, the background and the colouring scheme.
#include "EditArea.h"

#include <algorithm>
#include <vector>

#include "EditAreaParts.h"
#include "LexerStyles.h"
#include "TextConv.h"

namespace editarea {

namespace {

// A style's look: the base font, its own weight, slant and size, the area's background.
void ApplyStyle(HWND edit, const Area& st, int style) {
    const textstyles::Format f = st.styles.FormatOf(style);
    Call(edit, SCI_STYLESETBOLD, style, f.bold);
    Call(edit, SCI_STYLESETITALIC, style, f.italic);
    Call(edit, SCI_STYLESETSIZEFRACTIONAL, style, f.size100 ? f.size100 : st.baseSize100);
}

// The line-number margin as wide as the last line's number needs (at least two digits).
}  // namespace

void UpdateNumberMargin(HWND edit, Area& st, bool force) {
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

void ApplyAllStyles(HWND edit, Area& st) {
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

namespace {

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

}  // namespace

// Text just put in at `pos` takes the caret's format when one waits there, else the format of
// the character before it, as typing continues the text's look.
void FormatInserted(HWND edit, Sci_Position pos, Sci_Position length) {
    Area& st = Area::Of(edit);
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

std::wstring FaceName(HWND edit) { return Area::Of(edit).face; }

void SetBaseFont(HWND edit, const std::wstring& face, BYTE charset, double points) {
    Area& st = Area::Of(edit);
    st.face = face;
    st.charset = charset;
    if (points > 0) st.baseSize100 = static_cast<int>(points * 100 + 0.5);
    ApplyAllStyles(edit, st);
}

bool SelectionColor(HWND edit, COLORREF& color) {
    Sci_Position s = 0, e = 0;
    ByteSelection(edit, s, e);
    const Area& st = Area::Of(edit);
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
    const Area& st = Area::Of(edit);
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
    points = (f.size100 ? f.size100 : Area::Of(edit).baseSize100) / 100.0;
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
    Area& st = Area::Of(edit);
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
    Area& st = Area::Of(edit);
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
    Area& st = Area::Of(edit);
    st.back = color;
    ApplyAllStyles(edit, st);  // a dark background takes the scheme's dark variant
}

COLORREF BackColor(HWND edit) { return Area::Of(edit).back; }

}  // namespace editarea
