// The Replace dialog's search rule, without a window: matching with or without case, whole words,
// the next match with one wrap-around, and every match of a range for Replace All.
#pragma once
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace textreplace {

// Folds a UTF-16 unit for comparing without case (the system's table on Windows).
using Fold = wchar_t (*)(wchar_t);
wchar_t SystemFold(wchar_t c);

struct Options {
    bool matchCase = false;
    bool wholeWord = false;
    Fold fold = SystemFold;
};

// Letters, digits and the underscore; anything else ends a word.
bool IsWordChar(wchar_t c);

// The first match starting at or after `from` and ending at or before `end`.
std::optional<size_t> Find(std::wstring_view text, std::wstring_view what, size_t from, size_t end,
                           const Options& options);

// From `from` to the end of the text, then once from the start (wrapped).
struct Next {
    size_t pos = 0;
    bool wrapped = false;
};
std::optional<Next> FindNext(std::wstring_view text, std::wstring_view what, size_t from, const Options& options);

// Every match inside [begin, end), left to right; a match ends where the next search starts, so
// overlapping ones are not counted twice.
std::vector<size_t> FindAll(std::wstring_view text, std::wstring_view what, size_t begin, size_t end,
                            const Options& options);

// Whether [pos, pos + what.size()) is a match (the selection Replace replaces).
bool IsMatchAt(std::wstring_view text, std::wstring_view what, size_t pos, const Options& options);

}  // namespace textreplace
