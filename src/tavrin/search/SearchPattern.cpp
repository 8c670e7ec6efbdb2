#include "SearchPattern.h"

// Regular expressions: Boost.Regex, header-only and without Boost's other parts. Its matcher keeps
// its backtracking on the heap, not on the call stack (libstdc++'s std::regex recurses once per
// character and overflows the stack on a line of a few hundred KB), and it gives up with an
// exception past a memory and a step limit. The memory limit (4 KB blocks) lets a nested group
// repeat over a 1 MB line on both word sizes.
#define BOOST_REGEX_STANDALONE
#define BOOST_REGEX_MAX_BLOCKS (sizeof(void*) * 8192)
#include <boost/regex.hpp>

#include <type_traits>

#include "ByteScan.h"
#include "Texts.h"

namespace search {

struct Pattern::Compiled {
    boost::wregex re;
    // The same pattern for ASCII text, when it is ASCII itself: most files are, and a narrow search
    // classifies a character by a table where the wide one asks the locale.
    std::optional<boost::regex> ascii;
    // The text every match of it starts with, when there is one: a match is looked for only where
    // that text is (in the narrow search).
    ByteScan starts;
};

namespace {

const wchar_t* ReasonOf(boost::regex_constants::error_type code) {
    namespace rc = boost::regex_constants;
    switch (code) {
    case rc::error_paren: return texts::PatternParen;
    case rc::error_brack: return texts::PatternBracket;
    case rc::error_brace: return texts::PatternBrace;
    case rc::error_badbrace: return texts::PatternBadBrace;
    case rc::error_escape: return texts::PatternEscape;
    case rc::error_backref: return texts::PatternBackref;
    case rc::error_badrepeat: return texts::PatternRepeat;
    case rc::error_range: return texts::PatternRange;
    case rc::error_ctype:
    case rc::error_collate: return texts::PatternClass;
    default: return texts::PatternOther;
    }
}

template <class Char>
bool WordChar(Char c) {
    return textreplace::IsWordChar(static_cast<wchar_t>(static_cast<std::make_unsigned_t<Char>>(c)));
}

template <class Char>
bool WordEdgesAt(std::basic_string_view<Char> text, const Match& m) {
    const size_t end = m.pos + m.length;
    return (m.pos == 0 || !WordChar(text[m.pos - 1])) && (end == text.size() || !WordChar(text[end]));
}

// `.` stops at any line end; `^` and `$` hold at the lines' edges (CR LF counts as one).
constexpr auto kMatchFlags = boost::match_not_dot_newline;

// A pattern that means the same narrow: ASCII, without an escape that could name a character beyond
// it (a narrow pattern reads such a character in the ANSI code page).
bool AsciiAlike(std::wstring_view what) {
    bool escaped = false;
    for (const wchar_t c : what) {
        if (static_cast<unsigned long>(c) >= 0x80) return false;
        if (escaped && std::wstring_view(L"xuU0N").find(c) != std::wstring_view::npos) return false;
        escaped = !escaped && c == L'\\';
    }
    return true;
}

// The plain text every match starts with (after \b, \B and ^, which take no text): nothing when an
// alternative could start otherwise or the pattern starts with anything else.
std::string LiteralStart(std::wstring_view what) {
    if (what.find(L'|') != std::wstring_view::npos) return {};
    size_t i = 0;
    while (i < what.size() && (what[i] == L'^' || what.substr(i, 2) == L"\\b" || what.substr(i, 2) == L"\\B"))
        i += what[i] == L'^' ? 1 : 2;
    std::string text;
    constexpr std::wstring_view kSpecial = L".[]{}()*+?^$|", kEscapedSign = L".[]{}()*+?^$|\\/-";
    while (i < what.size()) {
        wchar_t c = what[i];
        size_t length = 1;
        if (c == L'\\') {
            // Only an escaped sign stands for itself (\w, \d, \1, \< ... do not).
            if (i + 1 == what.size() || kEscapedSign.find(what[i + 1]) == std::wstring_view::npos) break;
            c = what[i + 1], length = 2;
        } else if (kSpecial.find(c) != std::wstring_view::npos) {
            break;
        }
        // A character that may be left out (or repeated a number of times) ends the text before it.
        const wchar_t next = i + length < what.size() ? what[i + length] : L'\0';
        if (next == L'*' || next == L'?' || next == L'{') break;
        text += static_cast<char>(c);
        i += length;
        if (next == L'+') break;
    }
    return text;
}

template <class Char, class Regex>
std::optional<Match> RegexFind(std::basic_string_view<Char> text, size_t from, size_t end, const Regex& re, bool wholeWord,
                               const ByteScan* starts = nullptr) {
    using It = typename std::basic_string_view<Char>::const_iterator;
    const It first = text.begin(), last = first + static_cast<ptrdiff_t>(end);
    // The search stops at `end`; what follows it still decides `$` and `\b` there.
    auto edges = kMatchFlags;
    if (end < text.size()) {
        if (text[end] != Char('\r') && text[end] != Char('\n')) edges |= boost::match_not_eol;
        if (WordChar(text[end])) edges |= boost::match_not_eow;
    }
    boost::match_results<It> m;
    try {
        for (size_t at = from; at <= end;) {
            if constexpr (std::is_same_v<Char, char>) {
                if (starts) {
                    // Only where the text a match starts with is: a match starting there or none.
                    if ((at = starts->Find(text.substr(0, end), at)) == std::string_view::npos) return std::nullopt;
                    const auto flags = (at > 0 ? edges | boost::match_prev_avail : edges) | boost::match_continuous;
                    if (!boost::regex_search(first + static_cast<ptrdiff_t>(at), last, m, re, flags)) {
                        ++at;
                        continue;
                    }
                }
            }
            const auto flags = at > 0 ? edges | boost::match_prev_avail : edges;
            if (!starts && !boost::regex_search(first + static_cast<ptrdiff_t>(at), last, m, re, flags)) return std::nullopt;
            const Match found{static_cast<size_t>(m[0].first - first), static_cast<size_t>(m.length(0))};
            if (!wholeWord || WordEdgesAt(text, found)) return found;
            at = found.pos + 1;
        }
    } catch (const std::runtime_error& e) {
        const std::string_view what = e.what();
        throw PatternTooHard{what.find("stack") != std::string_view::npos || what.find("emory") != std::string_view::npos
                                 ? texts::PatternTooMuchMemory
                                 : texts::PatternTooManySteps};
    }
    return std::nullopt;
}

}  // namespace

std::optional<Pattern> Pattern::Make(const Query& query, std::wstring& error) {
    Pattern p;
    p.query_ = query;
    if (!query.regex) return p;
    boost::wregex::flag_type flags = boost::regex_constants::ECMAScript;
    if (!query.matchCase) flags = flags | boost::regex_constants::icase;
    auto compiled = std::make_shared<Compiled>();
    try {
        compiled->re = boost::wregex(query.what, flags);
    } catch (const boost::regex_error& e) {
        error = std::wstring(texts::PatternInvalid) + ReasonOf(e.code()) + texts::PatternAt +
                std::to_wstring(e.position() + 1) + L")";
        return std::nullopt;
    }
    if (AsciiAlike(query.what)) {
        try {
            compiled->ascii.emplace(std::string(query.what.begin(), query.what.end()), flags);
        } catch (const boost::regex_error&) {
            compiled->ascii.reset();  // the wide search alone
        }
        if (!query.matchCase)
            for (unsigned char b = 'A'; b <= 'Z'; ++b) compiled->starts.Fold(b, static_cast<unsigned char>(b + 32));
        compiled->starts.LookFor(LiteralStart(query.what));
    }
    p.compiled_ = std::move(compiled);
    return p;
}

std::optional<Match> Pattern::Find(std::wstring_view text, size_t from, size_t end) const {
    end = end < text.size() ? end : text.size();
    if (from > end) return std::nullopt;
    if (!compiled_) {
        const textreplace::Options o{query_.matchCase, query_.wholeWord, query_.fold};
        const auto p = textreplace::Find(text, query_.what, from, end, o);
        if (!p) return std::nullopt;
        return Match{*p, query_.what.size()};
    }
    return RegexFind(text, from, end, compiled_->re, query_.wholeWord);
}

bool Pattern::FindsInAscii() const { return compiled_ && compiled_->ascii; }

std::optional<Match> Pattern::Find(std::string_view ascii, size_t from, size_t end) const {
    end = end < ascii.size() ? end : ascii.size();
    if (from > end || !FindsInAscii()) return std::nullopt;
    const ByteScan& starts = compiled_->starts;
    return RegexFind(ascii, from, end, *compiled_->ascii, query_.wholeWord, starts.Needle().empty() ? nullptr : &starts);
}

std::optional<Next> Pattern::FindNext(std::wstring_view text, size_t from) const {
    if (from > text.size()) from = text.size();
    if (auto m = Find(text, from, text.size())) return Next{*m, false};
    if (from == 0) return std::nullopt;
    // Once round from the start: a match ending up to the end of what could not be seen before.
    const size_t reach = compiled_ ? text.size() : std::min(text.size(), from + query_.what.size() - 1);
    if (auto m = Find(text, 0, reach); m && m->pos < from) return Next{*m, true};
    return std::nullopt;
}

std::vector<Match> Pattern::FindAll(std::wstring_view text, size_t begin, size_t end) const {
    std::vector<Match> found;
    for (size_t at = begin; at <= end;) {
        const auto m = Find(text, at, end);
        if (!m) break;
        found.push_back(*m);
        at = m->pos + (m->length ? m->length : 1);
    }
    return found;
}

bool Pattern::IsMatch(std::wstring_view text, const Match& m) const {
    if (m.pos > text.size() || text.size() - m.pos < m.length) return false;
    if (!compiled_) {
        return m.length == query_.what.size() &&
               textreplace::IsMatchAt(text, query_.what, m.pos, {query_.matchCase, query_.wholeWord, query_.fold});
    }
    const auto found = Find(text, m.pos, m.pos + m.length);
    return found && *found == m;
}

std::wstring Pattern::Expand(std::wstring_view text, const Match& m, std::wstring_view with) const {
    if (!compiled_) return std::wstring(with);
    using It = std::wstring_view::const_iterator;
    boost::match_results<It> groups;
    const It first = text.begin();
    const auto flags = (m.pos > 0 ? kMatchFlags | boost::match_prev_avail : kMatchFlags) | boost::match_continuous;
    try {
        boost::regex_search(first + static_cast<ptrdiff_t>(m.pos), text.end(), groups, compiled_->re, flags);
    } catch (const std::runtime_error&) {
        return std::wstring(text.substr(m.pos, m.length));
    }
    const auto group = [&](size_t n) -> std::wstring_view {
        if (groups.empty() || n >= groups.size() || !groups[static_cast<int>(n)].matched) return {};
        const auto& g = groups[static_cast<int>(n)];
        return text.substr(static_cast<size_t>(g.first - first), static_cast<size_t>(g.second - g.first));
    };
    std::wstring out;
    for (size_t i = 0; i < with.size(); ++i) {
        const wchar_t c = with[i];
        const wchar_t n = i + 1 < with.size() ? with[i + 1] : L'\0';
        if ((c == L'$' || c == L'\\') && n >= L'1' && n <= L'9') {
            out += group(static_cast<size_t>(n - L'0'));
            ++i;
        } else if (c == L'$' && n == L'&') {
            out += text.substr(m.pos, m.length);
            ++i;
        } else if ((c == L'$' && n == L'$') || (c == L'\\' && n == L'\\')) {
            out += c;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace search
