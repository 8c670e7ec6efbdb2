// Edit > Find, Find Next, Replace and Find in Files: the dialogs that search the editing area, and
// the choices they share for the run (the last text, the regular-expression box).
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "LineEnds.h"
#include "SearchPattern.h"

class ToolsCommands;

class SearchCommands {
public:
    struct Area {
        HWND window = nullptr;
        HWND edit = nullptr;
        std::function<uint64_t()> changes;     // a count of the area's changes
        std::function<bool()> changesCounted;  // whether that count sees every change
        std::function<docfile::LineEnd()> lineEnds;
    };
    // As the window loads: the dialogs search this area, their choices start afresh.
    void Attach(Area area);
    // The window goes: so do the dialogs that work on its area.
    void Detach();

    void Find();
    void FindNext();
    void Replace();
    // The dialog, starting in the document's folder (or the last one); once accepted, the search
    // runs into the output pane.
    void FindInFiles(HWND owner, const std::wstring& documentPath, const std::wstring& initDir, ToolsCommands& tools);

private:
    search::Choices choices_;
};
