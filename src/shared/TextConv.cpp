#include "TextConv.h"

#include <algorithm>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TEXTCONV_SSE2 1
#endif

namespace {

// The length of the ASCII run at the start of p[0, n).
size_t AsciiRun(const unsigned char* p, size_t n) {
    size_t i = 0;
#ifdef TEXTCONV_SSE2
    for (; i + 32 <= n; i += 32) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16));
        if (_mm_movemask_epi8(_mm_or_si128(a, b))) break;
    }
#endif
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

bool Trail(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the valid sequence at p[0] (p[0] above 127); 0 when invalid, and -(bytes present)
// when valid so far but cut at n.
long SequenceAt(const unsigned char* p, size_t n) {
    const unsigned char c = p[0];
    long len;
    unsigned char lo = 0x80, hi = 0xBF;  // the second byte's range: no overlong form, surrogate or value past U+10FFFF
    if (c >= 0xC2 && c <= 0xDF) len = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else return 0;
    if (n < 2) return -1;
    if (p[1] < lo || p[1] > hi) return 0;
    for (long k = 2; k < len; ++k) {
        if (static_cast<size_t>(k) >= n) return -k;
        if (!Trail(p[k])) return 0;
    }
    return len;
}

// Decodes one UTF-8 sequence at s[i]; returns the code point or -1 when invalid, and advances i.
long DecodeOne(std::string_view s, size_t& i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    if (c < 0x80) { ++i; return c; }
    int len;
    long cp;
    if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07; }
    else { ++i; return -1; }
    if (i + len > s.size()) { ++i; return -1; }
    for (int k = 1; k < len; ++k) {
        unsigned char cc = b(i + k);
        if ((cc & 0xC0) != 0x80) { ++i; return -1; }
        cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are invalid.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return -1; }
    i += len;
    return cp;
}

void AppendUtf16(std::wstring& out, long cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<wchar_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    }
}

}  // namespace

Utf8Check CheckUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    Utf8Check r;
    size_t i = 0;
    for (;;) {
        i += AsciiRun(p + i, n - i);
        if (i == n) break;
        // Sequences one after another until the next ASCII byte.
        while (i < n && p[i] >= 0x80) {
            const long len = SequenceAt(p + i, n - i);
            if (len <= 0) {
                r.valid = i;
                r.cut = len < 0;
                return r;
            }
            i += static_cast<size_t>(len);
            r.high = true;
        }
    }
    r.valid = n;
    return r;
}

bool ValidUtf8(std::string_view s) { return CheckUtf8(s).valid == s.size(); }

namespace {

// Every byte but a trail byte starts a character: one unit, two for a four-byte one.
size_t UnitsOf(unsigned char c) { return Trail(c) ? 0 : c >= 0xF0 ? 2 : 1; }

#ifdef TEXTCONV_SSE2
// The units of `blocks` (at most 255) blocks of 16 bytes at p: each byte's lane counts its trail
// bytes (as signed bytes -128..-65) and four-byte leads (-16..-1), summed at the end.
size_t BlockUnits(const unsigned char* p, size_t blocks) {
    const __m128i zero = _mm_setzero_si128(), trailTop = _mm_set1_epi8(-64), fourBottom = _mm_set1_epi8(-17);
    __m128i trails = zero, fours = zero;
    for (size_t b = 0; b < blocks; ++b) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * b));
        trails = _mm_sub_epi8(trails, _mm_cmplt_epi8(v, trailTop));
        fours = _mm_sub_epi8(fours, _mm_and_si128(_mm_cmpgt_epi8(v, fourBottom), _mm_cmplt_epi8(v, zero)));
    }
    const auto sum = [&](__m128i counts) {
        const __m128i s = _mm_sad_epu8(counts, zero);
        return static_cast<size_t>(_mm_cvtsi128_si32(s)) + static_cast<size_t>(_mm_cvtsi128_si32(_mm_srli_si128(s, 8)));
    };
    return 16 * blocks - sum(trails) + sum(fours);
}
#endif

}  // namespace

size_t Utf16Units(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t units = 0, i = 0;
#ifdef TEXTCONV_SSE2
    for (size_t blocks; (blocks = std::min<size_t>((utf8.size() - i) / 16, 255)) > 0; i += 16 * blocks)
        units += BlockUnits(p + i, blocks);
#endif
    for (; i < utf8.size(); ++i) units += UnitsOf(p[i]);
    return units;
}

size_t BytesOfUnits(std::string_view utf8, size_t units) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t n = utf8.size();
    size_t i = 0, seen = 0;
#ifdef TEXTCONV_SSE2
    // Whole blocks while they end at or before the place; the trail bytes after one count nothing.
    for (size_t block; i + 16 <= n && seen + (block = BlockUnits(p + i, 1)) <= units; i += 16) seen += block;
#endif
    while (i < n && (seen < units || Trail(p[i]))) seen += UnitsOf(p[i++]);
    return i;
}

std::wstring Utf8ToWide(std::string_view s) {
    std::wstring out;
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    for (size_t i = 0; i < s.size();) {
        // Most text is ASCII: a run of it is widened at once.
        const size_t run = AsciiRun(p + i, s.size() - i), at = out.size();
        out.resize(at + run);
        for (size_t k = 0; k < run; ++k) out[at + k] = p[i + k];
        if ((i += run) == s.size()) break;
        long cp = DecodeOne(s, i);
        AppendUtf16(out, cp < 0 ? 0xFFFD : cp);
    }
    return out;
}

std::string WideToUtf8(std::wstring_view w) {
    std::string out;
    out.reserve(w.size());
    const auto unit = [&](size_t i) { return static_cast<unsigned long>(w[i]) & 0xFFFF; };
    for (size_t i = 0; i < w.size(); ++i) {
        // A run of ASCII is narrowed at once.
        size_t run = i;
        while (run < w.size() && unit(run) < 0x80) ++run;
        if (run > i) {
            const size_t at = out.size();
            out.resize(at + (run - i));
            for (size_t k = 0; i < run; ++i, ++k) out[at + k] = static_cast<char>(w[i]);
            if (i == w.size()) break;
        }
        unsigned long cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < w.size()) {
            unsigned long lo = static_cast<unsigned long>(w[i + 1]) & 0xFFFF;
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;  // unpaired surrogate
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::wstring TrimBlanks(std::wstring_view s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] == L' ') ++b;
    while (e > b && s[e - 1] == L' ') --e;
    return std::wstring(s.substr(b, e - b));
}

std::wstring UpperAscii(std::wstring_view s) {
    std::wstring out(s);
    for (auto& c : out)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return out;
}
