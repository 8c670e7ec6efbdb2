#include "ByteScan.h"

#include <bit>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define BYTESCAN_SSE2 1
#endif

namespace search {

ByteScan::ByteScan() {
    for (unsigned b = 0; b < 256; ++b) fold_[b] = static_cast<unsigned char>(b);
}

void ByteScan::LookFor(std::string_view needle) {
    needle_.assign(needle);
    for (char& c : needle_) c = static_cast<char>(fold_[static_cast<unsigned char>(c)]);
    const size_t m = needle_.size();
    skip_.fill(m);
    for (size_t i = 0; i + 1 < m; ++i) skip_[static_cast<unsigned char>(needle_[i])] = m - 1 - i;
    wide_ = false;
    if (m < 2) return;
    // Each of the two bytes with at most two bytes folding into it.
    auto into = [&](unsigned char c, std::array<unsigned char, 2>& bytes) {
        int n = 0;
        for (unsigned b = 0; b < 256; ++b)
            if (fold_[b] == c && n++ < 2) bytes[static_cast<size_t>(n - 1)] = static_cast<unsigned char>(b);
        if (n == 1) bytes[1] = bytes[0];
        return n <= 2;
    };
    wide_ = into(static_cast<unsigned char>(needle_[0]), firsts_) && into(static_cast<unsigned char>(needle_[m - 1]), lasts_);
}

size_t ByteScan::Find(std::string_view text, size_t from) const {
    const size_t m = needle_.size();
    if (m == 0 || text.size() < m) return std::string_view::npos;
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* n = reinterpret_cast<const unsigned char*>(needle_.data());
    const unsigned char last = n[m - 1];
    size_t i = from;
#ifdef BYTESCAN_SSE2
    if (wide_) {
        // Sixteen places at a time: those whose first and last bytes fit are compared whole.
        const __m128i f0 = _mm_set1_epi8(static_cast<char>(firsts_[0])), f1 = _mm_set1_epi8(static_cast<char>(firsts_[1]));
        const __m128i l0 = _mm_set1_epi8(static_cast<char>(lasts_[0])), l1 = _mm_set1_epi8(static_cast<char>(lasts_[1]));
        for (; i + m - 1 + 16 <= text.size(); i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + m - 1));
            const __m128i fits = _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(a, f0), _mm_cmpeq_epi8(a, f1)),
                                               _mm_or_si128(_mm_cmpeq_epi8(b, l0), _mm_cmpeq_epi8(b, l1)));
            for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(fits)); mask; mask &= mask - 1) {
                const size_t at = i + static_cast<size_t>(std::countr_zero(mask));
                size_t k = 1;
                while (k + 1 < m && fold_[t[at + k]] == n[k]) ++k;
                if (k + 1 >= m) return at;
            }
        }
    }
#endif
    for (size_t stop = text.size() - m; i <= stop;) {
        const unsigned char c = fold_[t[i + m - 1]];
        if (c == last) {
            size_t k = 0;
            while (k + 1 < m && fold_[t[i + k]] == n[k]) ++k;
            if (k + 1 == m) return i;
        }
        i += skip_[c];
    }
    return std::string_view::npos;
}

}  // namespace search
