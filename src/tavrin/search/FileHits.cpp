#include "FileHits.h"

#include <cstdint>
#include <cstring>

#include "FileEncoding.h"
#include "TextConv.h"
#include "TextReplace.h"

namespace findfiles {

namespace {

constexpr size_t kBinaryProbe = 8192;

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

// Where the first byte above 127 is (npos when none): eight bytes at a time, as most sources are ASCII.
size_t FirstHighByte(std::string_view s) {
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        if (w & 0x8080808080808080ull) break;
    }
    for (; i < s.size(); ++i)
        if (Byte(s[i]) >= 0x80) return i;
    return std::string_view::npos;
}

// The code point whose UTF-8 sequence starts at `i` (the bytes are valid UTF-8).
unsigned CodePointAt(std::string_view t, size_t i) {
    const unsigned c = Byte(t[i]);
    if (c < 0x80) return c;
    const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    unsigned cp = c & (0x3Fu >> (length - 1));
    for (int k = 1; k < length; ++k) cp = (cp << 6) | (Byte(t[i + k]) & 0x3F);
    return cp;
}

// The UTF-16 units on either side of [pos, end) are not word characters (a character beyond the
// Basic Plane is two surrogates there: the low one before, the high one after).
bool WordEdges(std::string_view t, size_t pos, size_t end) {
    if (pos > 0) {
        size_t start = pos - 1;
        while (start > 0 && pos - start < 4 && (Byte(t[start]) & 0xC0) == 0x80) --start;
        const unsigned cp = CodePointAt(t, start);
        const unsigned unit = cp > 0xFFFF ? 0xDC00 | ((cp - 0x10000) & 0x3FF) : cp;
        if (textreplace::IsWordChar(static_cast<wchar_t>(unit))) return false;
    }
    if (end < t.size()) {
        const unsigned cp = CodePointAt(t, end);
        const unsigned unit = cp > 0xFFFF ? 0xD800 | ((cp - 0x10000) >> 10) : cp;
        if (textreplace::IsWordChar(static_cast<wchar_t>(unit))) return false;
    }
    return true;
}

// UTF-16 units in valid UTF-8: one a character, two for those beyond the Basic Plane.
size_t Units(std::string_view t) {
    size_t n = 0;
    for (char c : t) {
        const unsigned b = Byte(c);
        n += (b & 0xC0) != 0x80 ? 1 : 0;
        n += b >= 0xF0 ? 1 : 0;
    }
    return n;
}

// Lines are counted as a match is reached: CR LF, LF and a lone CR each end one.
template <class Char>
struct LineCounter {
    size_t line = 1, start = 0, counted = 0;
    void To(std::basic_string_view<Char> t, size_t pos) {
        for (; counted < pos; ++counted) {
            const Char c = t[counted];
            if (c > Char('\r')) continue;
            if (c == Char('\n') || (c == Char('\r') && (counted + 1 == t.size() || t[counted + 1] != Char('\n')))) {
                ++line;
                start = counted + 1;
            }
        }
    }
    size_t End(std::basic_string_view<Char> t, size_t pos) const {
        while (pos < t.size() && t[pos] != Char('\r') && t[pos] != Char('\n')) ++pos;
        return pos;
    }
};

}  // namespace

size_t FileHits::ByteScan::Find(std::string_view text, size_t from) const {
    const size_t m = needle.size();
    if (m == 0 || text.size() < m) return std::string_view::npos;
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* n = reinterpret_cast<const unsigned char*>(needle.data());
    const unsigned char last = n[m - 1];
    for (size_t i = from, stop = text.size() - m; i <= stop;) {
        const unsigned char c = fold[t[i + m - 1]];
        if (c == last) {
            size_t k = 0;
            while (k + 1 < m && fold[t[i + k]] == n[k]) ++k;
            if (k + 1 == m) return i;
        }
        i += skip[c];
    }
    return std::string_view::npos;
}

FileHits::FileHits(const search::Pattern& pattern) : pattern_(pattern) {
    const search::Query& q = pattern.Of();
    if (q.regex || q.what.empty()) return;
    bool ascii = true;
    for (size_t i = 0; i < q.what.size(); ++i) {
        const unsigned u = static_cast<unsigned>(q.what[i]) & 0xFFFF;
        ascii = ascii && u < 0x80;
        // A lone surrogate has no UTF-8 of its own.
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < q.what.size() && (q.what[i + 1] & 0xFC00) == 0xDC00) ++i;
        else if (u >= 0xD800 && u <= 0xDFFF) return;
    }
    // Without case, letters beyond ASCII fold by the system's table: only an ASCII text is looked for.
    if (!q.matchCase && !ascii) return;
    for (unsigned b = 0; b < 256; ++b) scan_.fold[b] = static_cast<unsigned char>(b);
    if (!q.matchCase) {
        for (unsigned b = 0; b < 0x80; ++b) {
            const unsigned f = static_cast<unsigned>(q.fold(static_cast<wchar_t>(b)));
            if (f >= 0x80) return;
            scan_.fold[b] = static_cast<unsigned char>(f);
        }
    }
    scan_.needle = WideToUtf8(q.what);
    for (char& c : scan_.needle) c = static_cast<char>(scan_.fold[Byte(c)]);
    if (!q.matchCase) {
        // A letter beyond ASCII that folds into one of the needle's (the Kelvin sign into k): files
        // holding such letters are searched decoded.
        bool into[0x80] = {};
        for (unsigned u = 0x80; u < 0x10000; ++u)
            if (u < 0xD800 || u > 0xDFFF)
                if (const unsigned f = static_cast<unsigned>(q.fold(static_cast<wchar_t>(u))) & 0xFFFF; f < 0x80) into[f] = true;
        for (char c : scan_.needle) asciiOnlyFiles_ = asciiOnlyFiles_ || into[Byte(c)];
    }
    const size_t m = scan_.needle.size();
    scan_.skip.fill(m);
    for (size_t i = 0; i + 1 < m; ++i) scan_.skip[Byte(scan_.needle[i])] = m - 1 - i;
    bytesOk_ = true;
}

const std::shared_ptr<const std::wstring>& FileHits::Path() {
    if (!sharedPath_) sharedPath_ = std::make_shared<const std::wstring>(*path_);
    return sharedPath_;
}

bool FileHits::In(const std::wstring& path, std::string_view bytes, std::vector<Hit>& hits) {
    path_ = &path;
    sharedPath_.reset();
    const std::string_view head = bytes.substr(0, kBinaryProbe);
    const bool utf16 = head.size() >= 2 && ((Byte(head[0]) == 0xFF && Byte(head[1]) == 0xFE) ||
                                            (Byte(head[0]) == 0xFE && Byte(head[1]) == 0xFF));
    if (!utf16 && std::memchr(head.data(), 0, head.size())) return false;
    if (utf16) {
        wide_ = Utf8ToWide(docfile::Decode(std::string(bytes)).text);  // rare: as Open does it
        InWide(hits);
        return true;
    }
    std::string_view text = bytes;
    const bool mark = text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF";
    if (mark) text.remove_prefix(3);
    const size_t high = FirstHighByte(text);
    const bool ascii = high == std::string_view::npos;
    const bool utf8 = ascii || ValidUtf8(text.substr(high));
    if (bytesOk_ && utf8 && (ascii || !asciiOnlyFiles_)) {
        InBytes(text, hits);
        return true;
    }
    if (ascii) wide_.assign(text.begin(), text.end());
    else if (utf8 || mark) wide_ = Utf8ToWide(text);
    else wide_ = docfile::CodePageDecode(text, 0);  // ANSI
    InWide(hits);
    return true;
}

void FileHits::InBytes(std::string_view text, std::vector<Hit>& hits) {
    const size_t m = scan_.needle.size();
    LineCounter<char> lines;
    size_t shownStart = std::string_view::npos;  // the line whose text the last hit took
    size_t unitsTo = 0, units = 0;  // UTF-16 units from that line's start to the last hit
    for (size_t at = 0; (at = scan_.Find(text, at)) != std::string_view::npos;) {
        if (pattern_.Of().wholeWord && !WordEdges(text, at, at + m)) {
            ++at;
            continue;
        }
        lines.To(text, at);
        // Counted on from the line's last hit: a long line with many hits is not counted again for each.
        if (shownStart != lines.start) unitsTo = lines.start, units = 0;
        units += Units(text.substr(unitsTo, at - unitsTo));
        unitsTo = at;
        Hit hit{Path(), lines.line, units + 1, {}};
        if (shownStart == lines.start) hit.text = hits.back().text;
        else hit.text = std::make_shared<const std::wstring>(Utf8ToWide(text.substr(lines.start, lines.End(text, at) - lines.start)));
        shownStart = lines.start;
        hits.push_back(std::move(hit));
        at += m;
    }
}

void FileHits::InWide(std::vector<Hit>& hits) {
    const std::wstring_view text = wide_;
    LineCounter<wchar_t> lines;
    size_t shownStart = std::wstring_view::npos;
    for (size_t at = 0; at <= text.size();) {
        const auto m = pattern_.Find(text, at, text.size());
        if (!m) break;
        lines.To(text, m->pos);
        Hit hit{Path(), lines.line, m->pos - lines.start + 1, {}};
        if (shownStart == lines.start) hit.text = hits.back().text;
        else hit.text = std::make_shared<const std::wstring>(text.substr(lines.start, lines.End(text, m->pos) - lines.start));
        shownStart = lines.start;
        hits.push_back(std::move(hit));
        at = m->pos + (m->length ? m->length : 1);
    }
}

}  // namespace findfiles
