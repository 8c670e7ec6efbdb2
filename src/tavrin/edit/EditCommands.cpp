#include "EditCommands.h"

#include "CaretPlace.h"
#include "Clipboard.h"
#include "EditArea.h"
#include "MainMenus.h"
#include "frmGoTo.h"

namespace editcommands {

namespace {

// The selected text with CR LF line ends, as the clipboard's text format has them.
std::wstring SelectedText(HWND edit) {
    return docfile::WithLineEnds(editarea::SelectedText(edit), docfile::LineEnd::CrLf);
}

bool PaneFocused(const Target& t) { return t.pane && t.pane->Control() && GetFocus() == t.pane->Control(); }

// The dialog starts at the caret's line; the caret goes to the line asked for.
void GoToLine(HWND owner, HWND edit) {
    int64_t line = 0, column = 0;
    editarea::CaretLineColumn(edit, line, column);
    frmGoTo& dialog = form::Single<frmGoTo>();
    dialog.Entry = std::to_wstring(line);
    dialog.ShowModal(owner);
    if (!dialog.Accepted) return;
    const int64_t target = caretplace::GoToTarget(dialog.Entry, editarea::LineCount(edit));
    if (target >= 0) editarea::GoToLine(edit, target);
    SetFocus(edit);
}

}  // namespace

bool Run(int index, const Target& t) {
    HWND edit = t.edit;
    if (!edit) return false;
    switch (index) {
    case mainmenu::EditUndo:  // the editing area's own undo
        editarea::Undo(edit);
        return false;
    case mainmenu::EditCut:  // the selection goes only once it is on the clipboard
        clipboard::SetText(t.owner, SelectedText(edit));
        editarea::ReplaceSelection(edit, L"");
        return true;
    case mainmenu::EditCopy:
        clipboard::SetText(t.owner, PaneFocused(t) ? t.pane->SelectedText() : SelectedText(edit));
        return true;
    case mainmenu::EditPaste:  // no text on the clipboard deletes the selection; line ends become the document's
        editarea::ReplaceSelection(edit, docfile::WithLineEnds(clipboard::GetText(t.owner), t.lineEnd));
        return false;
    case mainmenu::EditGoTo: GoToLine(t.owner, edit); return false;
    case mainmenu::EditSelectAll:
        if (PaneFocused(t)) t.pane->SelectAll();
        else editarea::SelectAll(edit);
        return false;
    default: return false;
    }
}

}  // namespace editcommands
