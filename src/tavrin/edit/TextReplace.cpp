#include "TextReplace.h"

namespace textreplace {

bool IsWordChar(wchar_t c) {
    if (c < 0x80) return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_';
    // Beyond ASCII: Latin letters and every script above them count as letters; the Latin-1
    // signs, the general punctuation block and spaces do not.
    if (c < 0xC0) return false;
    if (c == 0xD7 || c == 0xF7) return false;
    if (c >= 0x2000 && c <= 0x2BFF) return false;
    if (c >= 0x3000 && c <= 0x303F) return false;
    return true;
}

bool IsMatchAt(std::wstring_view text, std::wstring_view what, size_t pos, const Options& o) {
    if (what.empty() || pos > text.size() || text.size() - pos < what.size()) return false;
    for (size_t i = 0; i < what.size(); ++i) {
        const wchar_t a = text[pos + i], b = what[i];
        if (a != b && (o.matchCase || o.fold(a) != o.fold(b))) return false;
    }
    if (!o.wholeWord) return true;
    const size_t end = pos + what.size();
    return (pos == 0 || !IsWordChar(text[pos - 1])) && (end == text.size() || !IsWordChar(text[end]));
}

std::optional<size_t> Find(std::wstring_view text, std::wstring_view what, size_t from, size_t end,
                           const Options& o) {
    end = end < text.size() ? end : text.size();
    if (what.empty() || from > end || end - from < what.size()) return std::nullopt;
    const wchar_t first = what[0];
    const wchar_t firstFolded = o.matchCase ? first : o.fold(first);
    for (size_t p = from, last = end - what.size(); p <= last; ++p) {
        const wchar_t c = text[p];
        if (c != first && (o.matchCase || o.fold(c) != firstFolded)) continue;
        if (IsMatchAt(text, what, p, o)) return p;
    }
    return std::nullopt;
}

std::optional<Next> FindNext(std::wstring_view text, std::wstring_view what, size_t from, const Options& o) {
    if (from > text.size()) from = text.size();
    if (auto p = Find(text, what, from, text.size(), o)) return Next{*p, false};
    // Once round from the start, up to the last match that could not be seen before.
    if (from == 0) return std::nullopt;
    const size_t end = from + what.size() - 1 < text.size() ? from + what.size() - 1 : text.size();
    if (auto p = Find(text, what, 0, end, o)) return Next{*p, true};
    return std::nullopt;
}

std::vector<size_t> FindAll(std::wstring_view text, std::wstring_view what, size_t begin, size_t end,
                            const Options& o) {
    std::vector<size_t> found;
    for (size_t at = begin; auto p = Find(text, what, at, end, o);) {
        found.push_back(*p);
        at = *p + what.size();
    }
    return found;
}

}  // namespace textreplace
