// The main window's status bar: its panels (the outside note, the caret's place, the format, the
// zoom, date and time), View > Status Bar and the Line Ends menu's check mark that goes with the
// format's panel.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "Document.h"
#include "TextFormat.h"

class MainStatus {
public:
    // The bar, the editing area it reports on and the menu bar holding Line Ends and View.
    void Attach(HWND statusBar, HWND edit, HMENU menu);

    // Every panel again (widths, date, time, texts), for the document `doc` at `dpi`.
    void Update(int dpi, Document& doc);
    // The caret's "Ln, Col" panel.
    void ShowCaretPlace();
    // The encoding and line ends, in their panel and in the Line Ends menu (`count`: the text's
    // line ends taken again, from `counted` when they are known).
    void ShowFormat(const docfile::FileFormat& format, bool count,
                    const std::optional<docfile::LineEndCounts>& counted = {});
    // The zoom's panel, given room only while the zoom is not 100%.
    void ShowZoom(int dpi, Document& doc);
    // A note in the first panel, given room to be read; empty: back to the standing note.
    void Note(const std::wstring& text);
    // The standing note about the file on disk ("<name> no longer exists on disk" while that is
    // so), in place of any other note.
    void ShowDiskNote(const Document& doc);
    // View > Status Bar: the check mark, then the bar follows it.
    void Toggle(int dpi, Document& doc);

private:
    HWND bar_ = nullptr, edit_ = nullptr;
    HMENU menu_ = nullptr;
    bool zoomShown_ = false;
    int dpi_ = 96;
    std::wstring diskNote_, note_;
    textformat::Ends ends_ = textformat::Ends::CrLf;
};
