#include "SearchPattern.h"

// Regular expressions: Boost.Regex, header-only and without Boost's other parts. Its matcher keeps
// its backtracking on the heap, not on the call stack (libstdc++'s std::regex recurses once per
// character and overflows the stack on a line of a few hundred KB), and it gives up with an
// exception past a memory and a step limit. The memory limit (4 KB blocks) lets a nested group
// repeat over a 1 MB line on both word sizes.
#define BOOST_REGEX_STANDALONE
#define BOOST_REGEX_MAX_BLOCKS (sizeof(void*) * 8192)
#include <boost/regex.hpp>

#include "Texts.h"

namespace search {

struct Pattern::Compiled {
    boost::wregex re;
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

bool WordEdgesAt(std::wstring_view text, const Match& m) {
    const size_t end = m.pos + m.length;
    return (m.pos == 0 || !textreplace::IsWordChar(text[m.pos - 1])) &&
           (end == text.size() || !textreplace::IsWordChar(text[end]));
}

// `.` stops at any line end; `^` and `$` hold at the lines' edges (CR LF counts as one).
constexpr auto kMatchFlags = boost::match_not_dot_newline;

}  // namespace

std::optional<Pattern> Pattern::Make(const Query& query, std::wstring& error) {
    Pattern p;
    p.query_ = query;
    if (!query.regex) return p;
    boost::wregex::flag_type flags = boost::regex_constants::ECMAScript;
    if (!query.matchCase) flags = flags | boost::regex_constants::icase;
    try {
        p.compiled_ = std::make_shared<Compiled>(Compiled{boost::wregex(query.what, flags)});
    } catch (const boost::regex_error& e) {
        error = std::wstring(texts::PatternInvalid) + ReasonOf(e.code()) + texts::PatternAt +
                std::to_wstring(e.position() + 1) + L")";
        return std::nullopt;
    }
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
    using It = std::wstring_view::const_iterator;
    const It first = text.begin(), last = first + static_cast<ptrdiff_t>(end);
    // The search stops at `end`; what follows it still decides `$` and `\b` there.
    auto edges = kMatchFlags;
    if (end < text.size()) {
        if (text[end] != L'\r' && text[end] != L'\n') edges |= boost::match_not_eol;
        if (textreplace::IsWordChar(text[end])) edges |= boost::match_not_eow;
    }
    boost::match_results<It> m;
    try {
        for (size_t at = from; at <= end;) {
            const auto flags = at > 0 ? edges | boost::match_prev_avail : edges;
            if (!boost::regex_search(first + static_cast<ptrdiff_t>(at), last, m, compiled_->re, flags))
                return std::nullopt;
            const Match found{static_cast<size_t>(m[0].first - first), static_cast<size_t>(m.length(0))};
            if (!query_.wholeWord || WordEdgesAt(text, found)) return found;
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
