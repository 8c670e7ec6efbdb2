// The diagnostics of the output pane's lines: each with its line in the pane, the one the user is
// at, the file it names joined to the folder the lines came from, and what its columns count (as
// the compiler that the build's "Using ..." line names counts them).
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "BuildOutput.h"

class BuildLog {
public:
    // New lines from work in `folder` (a build's: the document's): nothing listed yet.
    void Clear(std::wstring folder);
    // An output line as it arrives, at line `paneLine` of the pane; true when it is a diagnostic.
    bool Add(const std::wstring& line, size_t paneLine);
    // A place another producer (Find in Files) knows already, at line `paneLine` of the pane.
    void AddPlace(Diagnostic place, size_t paneLine) { items_.push_back({std::move(place), paneLine}); }

    size_t Count() const { return items_.size(); }
    const Diagnostic& At(size_t i) const { return items_[i].diagnostic; }
    size_t PaneLineOf(size_t i) const { return items_[i].paneLine; }
    // The diagnostic on a pane line, if that line is one.
    std::optional<size_t> OnPaneLine(size_t paneLine) const;

    // The next (or previous) diagnostic from the one the user is at, round past either end; it
    // becomes the current one. Nothing when there is none.
    std::optional<size_t> Step(bool forward);
    void SetCurrent(size_t i) { current_ = i; }

    // The file a diagnostic names: complete as given, or joined to the folder (`.` and `..` are
    // left for the system to resolve).
    std::wstring PathOf(const Diagnostic& d) const;
    ColumnKind Columns() const { return columns_; }

private:
    struct Item {
        Diagnostic diagnostic;
        size_t paneLine;
    };
    std::vector<Item> items_;
    std::optional<size_t> current_;
    std::wstring folder_;
    ColumnKind columns_ = ColumnKind::Characters;
};
