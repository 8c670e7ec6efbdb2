// What Find, Replace and Find in Files look for: plain text (with or without case, whole words) or
// a regular expression (ECMAScript), matched against UTF-16 text. Positions count from 0.
#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "TextReplace.h"

namespace search {

struct Query {
    std::wstring what;
    bool matchCase = false;
    bool wholeWord = false;
    bool regex = false;
    textreplace::Fold fold = textreplace::SystemFold;
};

// What the search dialogs keep for the whole run of the program. Their owner holds it: a dialog's
// controls go each time it closes.
struct Choices {
    bool regex = false;
};

struct Match {
    size_t pos = 0;
    size_t length = 0;
    bool operator==(const Match&) const = default;
};

// A match found by wrapping round past the end of the text.
struct Next {
    Match match;
    bool wrapped = false;
};

class Pattern {
public:
    // A query made ready to match; `error` gets why a pattern is not valid ("unmatched ( at 3").
    static std::optional<Pattern> Make(const Query& query, std::wstring& error);

    // The first match starting in [from, end] and ending at or before `end`. A regular expression may
    // match an empty stretch; a plain text never does. Throws PatternTooHard when the engine gives up.
    std::optional<Match> Find(std::wstring_view text, size_t from, size_t end) const;
    // The same for a regular expression over ASCII bytes: the matches Find gives in the text widened,
    // without widening it. Only when FindsInAscii.
    std::optional<Match> Find(std::string_view ascii, size_t from, size_t end) const;
    bool FindsInAscii() const;
    // From `from` to the end, then once from the start.
    std::optional<Next> FindNext(std::wstring_view text, size_t from) const;
    // Every match in [begin, end), left to right, none overlapping; an empty match moves on by one.
    std::vector<Match> FindAll(std::wstring_view text, size_t begin, size_t end) const;
    // Whether `m` is exactly a match (the selection Replace replaces).
    bool IsMatch(std::wstring_view text, const Match& m) const;
    // The replacement for `m`: `with` as typed for plain text; for a regular expression $1..$9 and
    // \1..\9 give the groups, $& the whole match, $$ and \\ a dollar and a backslash.
    std::wstring Expand(std::wstring_view text, const Match& m, std::wstring_view with) const;

    const Query& Of() const { return query_; }

private:
    struct Compiled;
    Query query_;
    std::shared_ptr<const Compiled> compiled_;  // only for a regular expression
};

// Thrown when a regular expression takes more memory or steps than the engine allows on a text.
struct PatternTooHard {
    std::wstring reason;
};

}  // namespace search
