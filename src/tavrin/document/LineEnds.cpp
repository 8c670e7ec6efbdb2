#include "LineEnds.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define LINEENDS_SSE2 1
#endif

namespace docfile {

LineEndCounts CountLineEnds(std::string_view t) {
    LineEndCounter c;
    c.Add(t);
    return c.Counts();
}

// Counts every CR, every LF and every CR directly before an LF (each CR and each LF belongs to at
// most one such pair), 16 bytes at a time.
void LineEndCounter::Add(std::string_view piece) {
    const auto* p = reinterpret_cast<const unsigned char*>(piece.data());
    const size_t n = piece.size();
    if (n == 0) return;
    auto one = [&](size_t i, bool crBefore) {
        const unsigned char c = p[i];
        if (c == '\n') {
            ++lf_;
            if (crBefore) ++pairs_;
        } else if (c == '\r') {
            ++cr_;
        } else if (c == 0) {
            nul_ = true;
        }
    };
    one(0, lastCr_);
    size_t i = 1;
#ifdef LINEENDS_SSE2
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), zero = _mm_setzero_si128();
    __m128i nul = zero;
    while (i + 16 <= n) {
        // Byte counters take at most 255 blocks before they are summed.
        __m128i crs = zero, lfs = zero, pairs = zero;
        for (int k = 0; k < 255 && i + 16 <= n; ++k, i += 16) {
            const __m128i cur = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i prev = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
            const __m128i isLf = _mm_cmpeq_epi8(cur, lf);
            crs = _mm_sub_epi8(crs, _mm_cmpeq_epi8(cur, cr));
            lfs = _mm_sub_epi8(lfs, isLf);
            pairs = _mm_sub_epi8(pairs, _mm_and_si128(isLf, _mm_cmpeq_epi8(prev, cr)));
            nul = _mm_or_si128(nul, _mm_cmpeq_epi8(cur, zero));
        }
        auto sum = [&](__m128i v) {
            const __m128i s = _mm_sad_epu8(v, zero);
            return static_cast<size_t>(_mm_cvtsi128_si32(s)) + static_cast<size_t>(_mm_cvtsi128_si32(_mm_srli_si128(s, 8)));
        };
        cr_ += sum(crs);
        lf_ += sum(lfs);
        pairs_ += sum(pairs);
    }
    if (_mm_movemask_epi8(nul)) nul_ = true;
#endif
    for (; i < n; ++i) one(i, p[i - 1] == '\r');
    lastCr_ = p[n - 1] == '\r';
}

LineEnd MostUsed(const LineEndCounts& n) {
    if (n.lf > n.crlf + n.cr) return LineEnd::Lf;
    if (n.cr > n.crlf + n.lf) return LineEnd::Cr;
    return LineEnd::CrLf;
}

std::string_view LineEndChars(LineEnd style) {
    switch (style) {
    case LineEnd::Lf: return "\n";
    case LineEnd::Cr: return "\r";
    default: return "\r\n";
    }
}

std::string WithFinalLineEnd(std::string_view text, LineEnd style) {
    std::string out;
    out.reserve(text.size() + 2);
    out.assign(text);
    if (out.empty() || (out.back() != '\n' && out.back() != '\r')) out += LineEndChars(style);
    return out;
}

std::wstring WithLineEnds(std::wstring_view t, LineEnd style) {
    const std::string_view chars = LineEndChars(style);
    const std::wstring end(chars.begin(), chars.end());
    std::wstring out;
    out.reserve(t.size() + t.size() / 32);
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == L'\r' || t[i] == L'\n') {
            if (t[i] == L'\r' && i + 1 < t.size() && t[i + 1] == L'\n') ++i;
            out += end;
        } else {
            out.push_back(t[i]);
        }
    }
    return out;
}

}  // namespace docfile
