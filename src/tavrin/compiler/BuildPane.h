// The output pane below the editing area: a read-only Scintilla control with the error-list lexer,
// the lines a build (or any other producer) gives it, and the places its diagnostics name. F4,
// Shift+F4 and a double-click answer with the place to go to; the window opens it.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "BuildLog.h"
#include "BuildRunner.h"

class BuildPane {
public:
    // A place in a file: line from 1, the compiler's column (0: none) and what that column counts.
    struct Place {
        std::wstring path;  // made full
        int line = 1;
        int column = 0;
        ColumnKind columns = ColumnKind::Characters;
    };

    BuildPane();
    BuildPane(const BuildPane&) = delete;
    BuildPane& operator=(const BuildPane&) = delete;

    // Where the pane's control goes and its face (`face` or another fixed-pitch one). The control is
    // made when first needed, hidden until shown: the window's first paint does not wait for it.
    void Prepare(HWND parent, int id, const std::wstring& face, double points);
    HWND Ensure();
    HWND Control() const { return pane_; }

    // Lines from any producer: Clear starts anew for work in `folder`, Append adds lines F4 walks.
    // A producer that knows the places its lines name (Find in Files) gives them, line for line,
    // with the lines already in UTF-8 and joined by '\n'.
    void Clear(const std::wstring& folder);
    void Append(const std::vector<std::wstring>& lines);
    void AppendPlaces(std::string_view utf8Lines, std::vector<Diagnostic>&& places);
    // The pane's lines as they stand, and the one F4 marked last (if any).
    std::vector<std::wstring> Lines() const;
    std::optional<size_t> MarkedLine() const { return marked_; }
    std::wstring SelectedText() const;
    void SelectAll();

    // Builds `source` with `command`; a build that cannot start says why (in the pane too).
    // BuildEnded is called when a build ends.
    BuildStart Build(const BuildCommand& command, const std::wstring& source);
    void Stop() { runner_.Stop(); }
    bool Running() const { return runner_.Running(); }
    std::function<void()> BuildEnded;
    // What the last successful build made; empty before one.
    const std::wstring& BuiltProgram() const { return builtProgram_; }

    // F4 (forward) and Shift+F4: the next or previous diagnostic's place, marked in the pane.
    std::optional<Place> Step(bool forward);
    // The pane's notification: a double-click on a diagnostic gives its place.
    std::optional<Place> OnNotify(const NMHDR& h);

private:
    std::optional<Place> Select(size_t index);
    // The bytes of lines from `first` on into the control (after a line end when `lineEndFirst`),
    // with the severities' markers.
    void Show(std::string_view bytes, size_t first, const std::vector<std::pair<size_t, Severity>>& marks,
              bool lineEndFirst);
    void Finished(const BuildResult& r);

    HWND parent_ = nullptr;
    int id_ = 0;
    std::wstring face_;
    double points_ = 0;
    HWND pane_ = nullptr;
    BuildLog log_;
    size_t lineCount_ = 0;  // lines appended since the last Clear
    std::optional<size_t> marked_;
    std::wstring source_, builtProgram_;
    BuildRunner runner_;
};
