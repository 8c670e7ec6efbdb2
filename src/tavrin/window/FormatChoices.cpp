#include "FormatChoices.h"

#include <commctrl.h>

#include <string>

#include "EditArea.h"
#include "MainBars.h"
#include "Scintilla.h"

namespace formatchoices {

HMENU MakeSubmenu(HMENU bar, int id, const wchar_t* const* captions, size_t count, int first) {
    wchar_t caption[128] = {};
    if (!GetMenuStringW(bar, static_cast<UINT>(id), caption, 128, MF_BYCOMMAND)) return nullptr;
    HMENU popup = CreatePopupMenu();  // owned by the menu bar once attached
    for (size_t i = 0; i < count; ++i) AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(first + i), captions[i]);
    if (!ModifyMenuW(bar, static_cast<UINT>(id), MF_BYCOMMAND | MF_POPUP | MF_STRING,
                     reinterpret_cast<UINT_PTR>(popup), caption)) {
        DestroyMenu(popup);
        return nullptr;
    }
    return popup;
}

void CheckOne(HMENU bar, int first, size_t count, int checked) {
    for (size_t i = 0; i < count; ++i)
        CheckMenuItem(bar, static_cast<UINT>(first + i),
                      MF_BYCOMMAND | (static_cast<int>(i) == checked ? MF_CHECKED : MF_UNCHECKED));
}

void ConvertLineEnds(HWND edit, docfile::LineEnd style) {
    const WPARAM mode = style == docfile::LineEnd::Lf ? SC_EOL_LF : style == docfile::LineEnd::Cr ? SC_EOL_CR : SC_EOL_CRLF;
    SendMessageW(edit, SCI_CONVERTEOLS, mode, 0);  // the control makes it one undo step
    editarea::SetNewLineEnds(edit, style);
}

void ShowPanel(HWND statusBar, const docfile::FileFormat& format, textformat::Ends ends) {
    if (!statusBar) return;
    const std::wstring text = textformat::PanelText(format, ends);
    SendMessageW(statusBar, SB_SETTEXTW, bars::kFormatPanel, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace formatchoices
