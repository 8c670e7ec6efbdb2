// Plain text looked for in the control's own bytes, on either side of its gap: no copy of the text,
// and the gap stays where it is (moving it would shift everything between). Places are counted in
// UTF-16 units from a place known before, so Find Next counts only the stretch since the last match.
#include <algorithm>

#include "ByteScan.h"
#include "CodeFolding.h"
#include "EditArea.h"
#include "EditAreaParts.h"
#include "TextConv.h"

namespace editarea {

namespace {

bool WholePairs(std::wstring_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
        else if (c >= 0xD800 && c <= 0xDFFF) return false;
    }
    return true;
}

// The control's text as it lies in memory, with places counted across its gap.
struct Parts : HeldText {
    size_t Size() const { return before.size() + after.size(); }
    // The bytes of [a, b) before the gap and after it.
    std::string_view Before(size_t a, size_t b) const {
        a = std::min(a, before.size());
        return before.substr(a, std::min(b, before.size()) - a);
    }
    std::string_view After(size_t a, size_t b) const {
        a = std::max(a, before.size()) - before.size();
        return after.substr(a, std::max(b, before.size()) - before.size() - a);
    }
    size_t UnitsBetween(size_t a, size_t b) const { return Utf16Units(Before(a, b)) + Utf16Units(After(a, b)); }
    // The byte `units` UTF-16 units after byte `a`.
    size_t UnitsAfter(size_t a, size_t units) const {
        if (a < before.size()) {
            const std::string_view rest = before.substr(a);
            const size_t k = BytesOfUnits(rest, units);
            if (k < rest.size()) return a + k;
            const size_t seen = Utf16Units(rest);
            units = units > seen ? units - seen : 0;
            a = before.size();
        }
        return a + BytesOfUnits(after.substr(a - before.size()), units);
    }
};

Parts PartsOf(HWND edit) { return {Held(edit)}; }

}  // namespace

bool FindsInPlace(std::wstring_view what) { return !what.empty() && WholePairs(what); }

std::optional<Place> FindInPlace(HWND edit, std::wstring_view what, size_t from, Place known) {
    if (!FindsInPlace(what)) return std::nullopt;
    search::ByteScan scan;
    scan.LookFor(WideToUtf8(std::wstring(what)));
    const size_t n = scan.Needle().size();
    const Parts text = PartsOf(edit);
    const size_t gap = text.before.size(), length = text.Size();
    if (known.units > from || known.bytes > length) known = {};
    const size_t start = text.UnitsAfter(known.bytes, from - known.units);
    const auto at = [&](size_t hit) { return Place{known.units + text.UnitsBetween(known.bytes, hit), hit}; };
    if (start < gap) {
        if (const size_t hit = scan.Find(text.before, start); hit != std::string_view::npos) return at(hit);
        // A match across the gap, from a copy of the few bytes around it.
        const size_t a = std::max(start, gap + 1 > n ? gap + 1 - n : 0), b = std::min(length, gap + n - 1);
        if (b > a && b - a >= n)
            if (const size_t hit = scan.Find(Bytes(edit, static_cast<Sci_Position>(a), static_cast<Sci_Position>(b)), 0);
                hit != std::string_view::npos)
                return at(a + hit);
    }
    if (const size_t hit = scan.Find(text.after, std::max(start, gap) - gap); hit != std::string_view::npos) return at(gap + hit);
    return std::nullopt;
}

void SelectFound(HWND edit, const Place& at, size_t bytes) {
    const auto from = static_cast<Sci_Position>(at.bytes), to = static_cast<Sci_Position>(at.bytes + bytes);
    folding::Reveal(edit, Call(edit, SCI_LINEFROMPOSITION, from), Call(edit, SCI_LINEFROMPOSITION, to));
    Call(edit, SCI_SETSEL, from, to);
}

}  // namespace editarea
