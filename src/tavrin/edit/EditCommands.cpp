#include "EditCommands.h"

#include "Clipboard.h"
#include "EditArea.h"
#include "MainMenus.h"

namespace editcommands {

namespace {

// The selected text with CR LF line ends, as the clipboard's text format has them.
std::wstring SelectedText(HWND edit) {
    return docfile::WithLineEnds(editarea::SelectedText(edit), docfile::LineEnd::CrLf);
}

bool PaneFocused(const Target& t) { return t.pane && GetFocus() == t.pane->Control(); }

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
    case mainmenu::EditSelectAll:
        if (PaneFocused(t)) t.pane->SelectAll();
        else editarea::SelectAll(edit);
        return false;
    default: return false;
    }
}

}  // namespace editcommands
