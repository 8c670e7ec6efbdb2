#include "BuildPane.h"

#include <algorithm>

#include "EditArea.h"
#include "FixedFace.h"
#include "ILexer.h"
#include "Lexilla.h"
#include "Paths.h"
#include "SciLexer.h"
#include "Scintilla.h"
#include "TextConv.h"
#include "Texts.h"

namespace {

// Markers: the severity as the line's background, and the line F4 is at (background and arrow).
constexpr int kErrorMarker = 0, kWarningMarker = 1, kCurrentMarker = 2, kArrowMarker = 3;
constexpr int kSymbolMargin = 1;

sptr_t Call(HWND pane, unsigned msg, uptr_t wp = 0, sptr_t lp = 0) {
    return static_cast<sptr_t>(SendMessageW(pane, msg, static_cast<WPARAM>(wp), static_cast<LPARAM>(lp)));
}

void Style(HWND pane, int style, COLORREF fore, bool bold = false) {
    Call(pane, SCI_STYLESETFORE, style, static_cast<sptr_t>(fore));
    Call(pane, SCI_STYLESETBOLD, style, bold);
}

}  // namespace

BuildPane::BuildPane()
    : runner_([this](std::vector<std::wstring>& lines) { Append(lines); },
              [this](const BuildResult& r) { Finished(r); }) {}

void BuildPane::Prepare(HWND parent, int id, const std::wstring& face, double points) {
    parent_ = parent;
    id_ = id;
    face_ = face;
    points_ = points;
    pane_ = nullptr;  // a control of an earlier window went with it
}

HWND BuildPane::Ensure() {
    if (pane_ || !parent_ || !editarea::RegisterWindowClass()) return pane_;
    pane_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"Scintilla", L"", WS_CHILD | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL, 0, 0,
                            0, 0, parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleW(nullptr),
                            nullptr);
    if (!pane_) return nullptr;
    Call(pane_, SCI_SETCODEPAGE, SC_CP_UTF8);
    Call(pane_, SCI_SETTECHNOLOGY, SC_TECHNOLOGY_DEFAULT);  // GDI, as the editing area
    Call(pane_, SCI_SETUNDOCOLLECTION, 0);
    Call(pane_, SCI_SETSCROLLWIDTH, 1);
    Call(pane_, SCI_SETSCROLLWIDTHTRACKING, 1);
    Call(pane_, SCI_SETMARGINWIDTHN, 0, 0);
    Call(pane_, SCI_SETMARGINTYPEN, kSymbolMargin, SC_MARGIN_SYMBOL);
    Call(pane_, SCI_SETMARGINWIDTHN, kSymbolMargin, 14);
    Call(pane_, SCI_SETMARGINMASKN, kSymbolMargin, 1 << kArrowMarker);
    Call(pane_, SCI_SETILEXER, 0, reinterpret_cast<sptr_t>(CreateLexer("errorlist")));
    // The file and place in the format's colour, the message after it plain.
    Call(pane_, SCI_SETPROPERTY, reinterpret_cast<uptr_t>("lexer.errorlist.value.separate"),
         reinterpret_cast<sptr_t>("1"));
    const std::string faceUtf8 = WideToUtf8(fixedface::Installed(face_));
    Call(pane_, SCI_STYLESETFONT, STYLE_DEFAULT, reinterpret_cast<sptr_t>(faceUtf8.c_str()));
    Call(pane_, SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, static_cast<sptr_t>(points_ * SC_FONT_SIZE_MULTIPLIER));
    Call(pane_, SCI_STYLECLEARALL);
    for (int s : {SCE_ERR_GCC, SCE_ERR_MS, SCE_ERR_BORLAND, SCE_ERR_GCC_INCLUDED_FROM}) Style(pane_, s, RGB(0, 0, 160));
    Style(pane_, SCE_ERR_CMD, RGB(0, 110, 0), true);  // the build's own lines ("Building ...")
    Style(pane_, SCE_ERR_GCC_EXCERPT, RGB(96, 96, 96));
    Call(pane_, SCI_MARKERDEFINE, kErrorMarker, SC_MARK_BACKGROUND);
    Call(pane_, SCI_MARKERSETBACK, kErrorMarker, RGB(255, 226, 226));
    Call(pane_, SCI_MARKERDEFINE, kWarningMarker, SC_MARK_BACKGROUND);
    Call(pane_, SCI_MARKERSETBACK, kWarningMarker, RGB(255, 244, 204));
    Call(pane_, SCI_MARKERDEFINE, kCurrentMarker, SC_MARK_BACKGROUND);
    Call(pane_, SCI_MARKERSETBACK, kCurrentMarker, RGB(204, 224, 255));
    Call(pane_, SCI_MARKERDEFINE, kArrowMarker, SC_MARK_SHORTARROW);
    Call(pane_, SCI_MARKERSETBACK, kArrowMarker, RGB(0, 0, 160));
    Call(pane_, SCI_SETREADONLY, 1);
    return pane_;
}

void BuildPane::Clear(const std::wstring& folder) {
    log_.Clear(folder);
    lineCount_ = 0;
    marked_.reset();
    if (!pane_) return;
    Call(pane_, SCI_SETREADONLY, 0);
    Call(pane_, SCI_CLEARALL);
    Call(pane_, SCI_MARKERDELETEALL, static_cast<uptr_t>(-1));
    Call(pane_, SCI_SETSCROLLWIDTH, 1);  // the last run's long lines went with it
    Call(pane_, SCI_SETREADONLY, 1);
}

void BuildPane::Append(const std::vector<std::wstring>& lines) {
    if (lines.empty()) return;
    std::string bytes;
    const size_t first = lineCount_;
    std::vector<std::pair<size_t, Severity>> marks;
    for (const std::wstring& l : lines) {
        if (lineCount_ > 0) bytes += '\n';
        if (log_.Add(l, lineCount_)) marks.emplace_back(lineCount_, log_.At(log_.Count() - 1).severity);
        bytes += WideToUtf8(l);
        ++lineCount_;
    }
    Show(bytes, first, marks, false);
}

void BuildPane::AppendPlaces(std::string_view utf8Lines, std::vector<Diagnostic>&& places) {
    if (places.empty()) return;
    const size_t first = lineCount_;
    std::vector<std::pair<size_t, Severity>> marks;
    for (Diagnostic& d : places) {
        if (d.severity != Severity::Note) marks.emplace_back(lineCount_, d.severity);
        log_.AddPlace(std::move(d), lineCount_++);
    }
    Show(utf8Lines, first, marks, first > 0);
}

void BuildPane::Show(std::string_view bytes, size_t first, const std::vector<std::pair<size_t, Severity>>& marks,
                     bool lineEndFirst) {
    if (!Ensure()) return;
    Call(pane_, SCI_SETREADONLY, 0);
    if (lineEndFirst) Call(pane_, SCI_APPENDTEXT, 1, reinterpret_cast<sptr_t>("\n"));
    Call(pane_, SCI_APPENDTEXT, bytes.size(), reinterpret_cast<sptr_t>(bytes.data()));
    Call(pane_, SCI_SETREADONLY, 1);
    // A long line brings the horizontal scroll bar now rather than at the next paint, so the count
    // of lines on screen below leaves room for it and the latest line shows whole. The face is of
    // fixed pitch: the longest line is the widest, and only it is measured.
    std::string_view longest;
    for (size_t start = 0; start <= bytes.size();) {
        const size_t end = std::min(bytes.find('\n', start), bytes.size());
        if (end - start > longest.size()) longest = bytes.substr(start, end - start);
        start = end + 1;
    }
    if (!longest.empty()) {
        const std::string line(longest);
        const sptr_t width = Call(pane_, SCI_TEXTWIDTH, STYLE_DEFAULT, reinterpret_cast<sptr_t>(line.c_str()));
        if (width > Call(pane_, SCI_GETSCROLLWIDTH)) Call(pane_, SCI_SETSCROLLWIDTH, width);
    }
    for (const auto& [line, severity] : marks)
        if (severity != Severity::Note)
            Call(pane_, SCI_MARKERADD, line, severity == Severity::Error ? kErrorMarker : kWarningMarker);
    // The latest line in view, unless the user has scrolled up to read.
    const sptr_t visible = Call(pane_, SCI_LINESONSCREEN);
    const sptr_t top = Call(pane_, SCI_GETFIRSTVISIBLELINE);
    if (top + visible + 1 >= static_cast<sptr_t>(first))
        Call(pane_, SCI_SETFIRSTVISIBLELINE, std::max<sptr_t>(static_cast<sptr_t>(lineCount_) - visible, 0));
}

std::vector<std::wstring> BuildPane::Lines() const {
    std::vector<std::wstring> out;
    if (!pane_ || lineCount_ == 0) return out;
    const auto* p = reinterpret_cast<const char*>(Call(pane_, SCI_GETCHARACTERPOINTER));
    const std::string_view text(p ? p : "", p ? static_cast<size_t>(Call(pane_, SCI_GETLENGTH)) : 0);
    for (size_t start = 0;;) {
        const size_t end = text.find('\n', start);
        out.push_back(Utf8ToWide(text.substr(start, end == std::string_view::npos ? end : end - start)));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return out;
}

std::wstring BuildPane::SelectedText() const {
    if (!pane_) return {};
    const sptr_t from = Call(pane_, SCI_GETSELECTIONSTART), to = Call(pane_, SCI_GETSELECTIONEND);
    std::string bytes(static_cast<size_t>(to - from) + 1, '\0');
    Sci_TextRangeFull range{{from, to}, bytes.data()};
    Call(pane_, SCI_GETTEXTRANGEFULL, 0, reinterpret_cast<sptr_t>(&range));
    bytes.resize(static_cast<size_t>(to - from));
    std::wstring text;
    for (wchar_t c : Utf8ToWide(bytes)) {
        if (c == L'\n') text += L'\r';  // the clipboard's line ends
        text += c;
    }
    return text;
}

void BuildPane::SelectAll() {
    if (pane_) Call(pane_, SCI_SELECTALL);
}

BuildStart BuildPane::Build(const BuildCommand& command, const std::wstring& source) {
    if (Running()) return {texts::BuildAlreadyRunning};
    Clear(paths::Folder(source));
    builtProgram_.clear();
    source_ = source;
    Append({texts::BuildStarting + source});
    BuildStart started = runner_.Start(command);
    if (!started) Append({started.failure});
    return started;
}

void BuildPane::Finished(const BuildResult& r) {
    if (r.stopped) {
        Append({texts::BuildStopped});
    } else {
        wchar_t seconds[32];
        swprintf(seconds, 32, L"%.1f", r.seconds);
        Append({texts::BuildFinished + std::to_wstring(r.exitCode) + L" (" + seconds + L" s)"});
        if (r.exitCode == 0) builtProgram_ = BuiltProgramOf(source_);
    }
    if (BuildEnded) BuildEnded();
}

std::optional<BuildPane::Place> BuildPane::Select(size_t index) {
    log_.SetCurrent(index);
    const Diagnostic& d = log_.At(index);
    const size_t line = log_.PaneLineOf(index);
    if (pane_) {
        Call(pane_, SCI_MARKERDELETEALL, kCurrentMarker);
        Call(pane_, SCI_MARKERDELETEALL, kArrowMarker);
        Call(pane_, SCI_MARKERADD, line, kCurrentMarker);
        Call(pane_, SCI_MARKERADD, line, kArrowMarker);
        Call(pane_, SCI_ENSUREVISIBLEENFORCEPOLICY, line);
        Call(pane_, SCI_GOTOLINE, line);
    }
    marked_ = line;
    return Place{paths::Full(log_.PathOf(d)), d.line, d.column, log_.Columns()};
}

std::optional<BuildPane::Place> BuildPane::Step(bool forward) {
    if (auto i = log_.Step(forward)) return Select(*i);
    return std::nullopt;
}

std::optional<BuildPane::Place> BuildPane::OnNotify(const NMHDR& h) {
    if (h.hwndFrom != pane_ || h.code != SCN_DOUBLECLICK) return std::nullopt;
    const auto& n = reinterpret_cast<const SCNotification&>(h);
    if (n.line < 0) return std::nullopt;
    if (auto i = log_.OnPaneLine(static_cast<size_t>(n.line))) return Select(*i);
    return std::nullopt;
}
