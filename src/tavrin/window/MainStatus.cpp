#include "MainStatus.h"

#include <commctrl.h>

#include "CaretPlace.h"
#include "EditArea.h"
#include "FormatChoices.h"
#include "MainBars.h"
#include "MainMenus.h"
#include "OutsideChanges.h"
#include "Texts.h"
#include "WrapAndZoom.h"
#include "ZoomLevel.h"

void MainStatus::Attach(HWND statusBar, HWND edit, HMENU menu) {
    bar_ = statusBar;
    edit_ = edit;
    menu_ = menu;
    diskNote_ = texts::StatusPanel;
}

void MainStatus::Update(int dpi, Document& doc) {
    dpi_ = dpi;
    diskNote_ = OutsideChanges::Note(doc);
    Note(note_);
    ShowFormat(doc.Format, false);
    ShowCaretPlace();
}

void MainStatus::ShowCaretPlace() {
    if (!edit_ || !bar_) return;
    int64_t line = 0, column = 0;
    editarea::CaretLineColumn(edit_, line, column);
    bars::SetPlaceText(bar_, caretplace::LineColumnText(line, column));
}

void MainStatus::ShowFormat(const docfile::FileFormat& format, bool count,
                            const std::optional<docfile::LineEndCounts>& counted) {
    if (!edit_) return;
    if (count && counted) ends_ = textformat::EndsOf(*counted, format.lineEnd);
    else if (count) ends_ = textformat::EndsOf(editarea::Held(edit_), format.lineEnd);
    formatchoices::ShowPanel(bar_, format, ends_);
    formatchoices::CheckOne(menu_, formatchoices::LineEndsBase, 3, textformat::CheckedLineEndItem(ends_));
}

void MainStatus::ShowZoom(int dpi, Document& doc) {
    if (!bar_ || !edit_) return;
    const std::wstring text = zoom::PanelText(wrapzoom::Percent(edit_));
    if (zoomShown_ != !text.empty()) {
        zoomShown_ = !text.empty();
        Update(dpi, doc);  // the panel gets its room, or gives it back
    }
    SendMessageW(bar_, SB_SETTEXTW, bars::kZoomPanel, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainStatus::Note(const std::wstring& text) {
    note_ = text;
    // Laid out again: the note's panel may need room the others have.
    bars::UpdateStatusBar(bar_, dpi_, zoomShown_, note_.empty() ? diskNote_ : note_);
}

void MainStatus::ShowDiskNote(const Document& doc) {
    diskNote_ = OutsideChanges::Note(doc);
    Note(L"");
}

void MainStatus::Toggle(int dpi, Document& doc) {
    const UINT item = mainmenu::ViewBase + mainmenu::ViewStatusBar;
    const bool show = !(GetMenuState(menu_, item, MF_BYCOMMAND) & MF_CHECKED);
    CheckMenuItem(menu_, item, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
    if (!bar_) return;
    if (show) Update(dpi, doc);
    ShowWindow(bar_, show ? SW_SHOW : SW_HIDE);
}
