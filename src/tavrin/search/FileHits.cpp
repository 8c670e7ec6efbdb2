#include "FileHits.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define FILEHITS_SSE2 1
#endif

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
#ifdef FILEHITS_SSE2
        if constexpr (sizeof(Char) == 1) {
            // Sixteen bytes at a time: each LF ends a line, and each CR not followed by one.
            const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
            for (; counted + 16 <= pos; counted += 16) {
                const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.data() + counted));
                const auto lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, lf)));
                const auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, cr)));
                unsigned lfAfter = lfs >> 1;
                if (counted + 16 < t.size() && t[counted + 16] == '\n') lfAfter |= 0x8000;
                if (const unsigned ends = lfs | (crs & ~lfAfter)) {
                    line += static_cast<size_t>(std::popcount(ends));
                    start = counted + static_cast<size_t>(std::bit_width(ends));
                }
            }
        }
#endif
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
    if (!q.matchCase) {
        for (unsigned b = 0; b < 0x80; ++b) {
            const unsigned f = static_cast<unsigned>(q.fold(static_cast<wchar_t>(b)));
            if (f >= 0x80) return;
            scan_.Fold(static_cast<unsigned char>(b), static_cast<unsigned char>(f));
        }
    }
    scan_.LookFor(WideToUtf8(q.what));
    if (!q.matchCase) {
        // A letter beyond ASCII that folds into one of the needle's (the Kelvin sign into k): files
        // holding such letters are searched decoded.
        bool into[0x80] = {};
        for (unsigned u = 0x80; u < 0x10000; ++u)
            if (u < 0xD800 || u > 0xDFFF)
                if (const unsigned f = static_cast<unsigned>(q.fold(static_cast<wchar_t>(u))) & 0xFFFF; f < 0x80) into[f] = true;
        for (char c : scan_.Needle()) asciiOnlyFiles_ = asciiOnlyFiles_ || into[Byte(c)];
    }
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
        InText(std::wstring_view(wide_), hits);
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
    if (ascii && pattern_.FindsInAscii()) {
        InText(text, hits);  // what the widened text would give
        return true;
    }
    if (ascii) wide_.assign(text.begin(), text.end());
    else if (utf8 || mark) wide_ = Utf8ToWide(text);
    else wide_ = docfile::CodePageDecode(text, 0);  // ANSI
    InText(std::wstring_view(wide_), hits);
    return true;
}

void FileHits::InBytes(std::string_view text, std::vector<Hit>& hits) {
    const size_t m = scan_.Needle().size();
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

template <class Char>
void FileHits::InText(std::basic_string_view<Char> text, std::vector<Hit>& hits) {
    LineCounter<Char> lines;
    size_t shownStart = std::string_view::npos;
    for (size_t at = 0; at <= text.size();) {
        const auto m = pattern_.Find(text, at, text.size());
        if (!m) break;
        lines.To(text, m->pos);
        Hit hit{Path(), lines.line, m->pos - lines.start + 1, {}};
        if (shownStart == lines.start) hit.text = hits.back().text;
        else hit.text = std::make_shared<const std::wstring>(text.begin() + lines.start, text.begin() + lines.End(text, m->pos));
        shownStart = lines.start;
        hits.push_back(std::move(hit));
        at = m->pos + (m->length ? m->length : 1);
    }
}

}  // namespace findfiles
