// The Tools menu's work on the document: Build, Run, Stop, Next and Previous Error and the
// "C++ with Borland Compiler 5.5" item, the output pane they write to, Find in Files' search into
// that pane, and going to the place a line of the pane names. It is handed the window's handles,
// the document and callbacks; it never reaches into the window.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "BuildPane.h"
#include "Document.h"
#include "FilesSearch.h"
#include "UiTask.h"
#include "basTavrin.h"

class ToolsCommands {
public:
    struct Window {
        HWND owner = nullptr;  // its menu bar holds Tools > Stop Build
        HWND edit = nullptr;
        Document* doc = nullptr;
        const settings::Values* settings = nullptr;
        std::wstring programFolder, systemFolder;
        std::function<void(const std::wstring&)> tell;  // a message for the user
        std::function<void(const std::wstring&)> note;  // a note in the status bar (empty: none)
        std::function<void(bool)> showOutput;           // the pane shown or hidden
    };

    // Before the window's children are made: the pane is made with them.
    void Attach(Window window);
    BuildPane& Pane() { return pane_; }

    // Tools menu items by index; Options, Compiler Setup and the hidden Compile are not here.
    void Run(int index);
    // Edit > Find in Files, once its dialog is accepted: a search of `request` on a worker, its
    // hits into the pane as they come.
    void FindInFiles(findfiles::Request request, search::Pattern pattern, const std::wstring& what);
    // The pane's notification: a double-click on a diagnostic goes to its place.
    void OnPaneNotify(const NMHDR& header);
    // The window goes: the build ends.
    void Stop() { pane_.Stop(); }

private:
    void Build();
    void RunBuiltProgram();
    void CompileHello();
    void AddFoundPlaces(const std::vector<findfiles::Hit>& hits);
    // The file opened (or a note when it is not there) and the caret at the character the
    // compiler meant.
    void GoToPlace(const BuildPane::Place& place);
    void EnableStop(bool on);

    Window w_;
    BuildPane pane_;
    FilesSearch filesSearch_;
    uitask::Mailbox mailbox_;  // Find in Files' batches come to the window's thread through it
};
