// The matches in one file's bytes, as Find finds them in the text Open makes of those bytes. Plain
// text is looked for in the file's own bytes where they are UTF-8 (and ASCII is): the text is then
// decoded only around a match. A regular expression of ASCII looks in an ASCII file's bytes too.
// Anything else (a regular expression in other files, an ANSI or UTF-16 file, a search without
// case for letters beyond ASCII) is decoded to UTF-16 once and searched there.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ByteScan.h"
#include "SearchPattern.h"

namespace findfiles {

// A file's hits share its path, and the hits on one line share its text: a line of a generated
// file can be megabytes long and hold hundreds of hits.
struct Hit {
    std::shared_ptr<const std::wstring> path;
    size_t line = 0, column = 0;               // 1-based; the column counts UTF-16 units
    std::shared_ptr<const std::wstring> text;  // the whole line, without its end
};

class FileHits {
public:
    explicit FileHits(const search::Pattern& pattern);

    // Appends the matches of a file's bytes to `hits`; false (nothing appended) for a binary file:
    // NUL bytes in its first 8 KB without a UTF-16 mark. Throws search::PatternTooHard.
    bool In(const std::wstring& path, std::string_view bytes, std::vector<Hit>& hits);

private:
    void InBytes(std::string_view text, std::vector<Hit>& hits);
    // A regular expression's search, or plain text's in decoded text: in UTF-16, or in ASCII bytes
    // where the pattern finds in them.
    template <class Char>
    void InText(std::basic_string_view<Char> text, std::vector<Hit>& hits);
    // The path for the file's hits, made once it has one.
    const std::shared_ptr<const std::wstring>& Path();

    search::Pattern pattern_;
    bool bytesOk_ = false;       // plain text that the byte scan can look for
    bool asciiOnlyFiles_ = false;  // ... but only in pure ASCII files (some letter beyond folds into it)
    search::ByteScan scan_;
    std::wstring wide_;  // the decoded text, kept for the next file
    const std::wstring* path_ = nullptr;  // the file's, while In runs
    std::shared_ptr<const std::wstring> sharedPath_;
};

}  // namespace findfiles
