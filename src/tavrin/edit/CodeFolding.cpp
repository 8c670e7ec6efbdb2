#include "CodeFolding.h"

#include <Scintilla.h>

#include "Raii.h"

namespace folding {

namespace {

constexpr int kFoldMargin = 2;

LRESULT Call(HWND edit, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(edit, msg, wp, lp); }

void Property(HWND edit, const char* key, const char* value) {
    Call(edit, SCI_SETPROPERTY, reinterpret_cast<WPARAM>(key), reinterpret_cast<LPARAM>(value));
}

}  // namespace

void Apply(HWND edit, bool on) {
    // The lexers' own switches: braces and comments (C-like), tags (HTML), rules (CSS).
    for (const char* key : {"fold", "fold.comment", "fold.html", "fold.preprocessor"}) Property(edit, key, on ? "1" : "0");
    if (!on) {
        Call(edit, SCI_FOLDALL, SC_FOLDACTION_EXPAND);
        Call(edit, SCI_SHOWLINES, 0, Call(edit, SCI_GETLINECOUNT) - 1);
        Call(edit, SCI_SETMARGINWIDTHN, kFoldMargin, 0);
        return;
    }
    Property(edit, "fold.compact", "0");  // blank lines after a block stay outside it
    static const int kMarkers[][2] = {
        {SC_MARKNUM_FOLDEROPEN, SC_MARK_BOXMINUS},  {SC_MARKNUM_FOLDER, SC_MARK_BOXPLUS},
        {SC_MARKNUM_FOLDERSUB, SC_MARK_VLINE},      {SC_MARKNUM_FOLDERTAIL, SC_MARK_LCORNER},
        {SC_MARKNUM_FOLDEREND, SC_MARK_BOXPLUSCONNECTED}, {SC_MARKNUM_FOLDEROPENMID, SC_MARK_BOXMINUSCONNECTED},
        {SC_MARKNUM_FOLDERMIDTAIL, SC_MARK_TCORNER},
    };
    for (const auto& m : kMarkers) {
        Call(edit, SCI_MARKERDEFINE, m[0], m[1]);
        Call(edit, SCI_MARKERSETFORE, m[0], RGB(0xFF, 0xFF, 0xFF));
        Call(edit, SCI_MARKERSETBACK, m[0], RGB(0x80, 0x80, 0x80));
    }
    Call(edit, SCI_SETMARGINTYPEN, kFoldMargin, SC_MARGIN_SYMBOL);
    Call(edit, SCI_SETMARGINMASKN, kFoldMargin, SC_MASK_FOLDERS);
    Call(edit, SCI_SETMARGINSENSITIVEN, kFoldMargin, 1);
    raii::WindowDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    Call(edit, SCI_SETMARGINWIDTHN, kFoldMargin, MulDiv(14, dpi, 96));
    // The control folds on a click and shows lines that an edit would leave hidden by itself.
    Call(edit, SCI_SETAUTOMATICFOLD, SC_AUTOMATICFOLD_SHOW | SC_AUTOMATICFOLD_CLICK | SC_AUTOMATICFOLD_CHANGE);
}

void Reveal(HWND edit, int64_t first, int64_t last) {
    // A long stretch (Select All) opens at its ends only: one call per line would take seconds.
    for (int64_t line = first; line <= last; ++line) {
        if (line - first == 1000) line = last;
        Call(edit, SCI_ENSUREVISIBLE, static_cast<WPARAM>(line));
    }
}

}  // namespace folding
