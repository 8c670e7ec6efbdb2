// Plain text looked for in the control's own bytes, on either side of its gap: no copy of the text,
// and the gap stays where it is (moving it would shift everything between).
#include <algorithm>

#include "ByteScan.h"
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

}  // namespace

bool FindsInPlace(std::wstring_view what) { return !what.empty() && WholePairs(what); }

std::optional<size_t> FindInPlace(HWND edit, std::wstring_view what, size_t from) {
    if (!FindsInPlace(what)) return std::nullopt;
    search::ByteScan scan;
    scan.LookFor(WideToUtf8(std::wstring(what)));
    const Sci_Position n = static_cast<Sci_Position>(scan.Needle().size());
    const Sci_Position length = Call(edit, SCI_GETLENGTH);
    const Sci_Position start = BytePos(edit, from);
    const Sci_Position gap = std::clamp<Sci_Position>(Call(edit, SCI_GETGAPPOSITION), 0, length);
    const auto part = [&](Sci_Position a, Sci_Position b) {
        const auto* p = reinterpret_cast<const char*>(Call(edit, SCI_GETRANGEPOINTER, static_cast<uptr_t>(a), b - a));
        return p ? std::string_view(p, static_cast<size_t>(b - a)) : std::string_view();
    };
    const auto in = [&](std::string_view text, Sci_Position base, Sci_Position at) -> std::optional<size_t> {
        const size_t hit = scan.Find(text, static_cast<size_t>(at - base));
        if (hit == std::string_view::npos) return std::nullopt;
        return Utf16Pos(edit, base + static_cast<Sci_Position>(hit));
    };
    if (start < gap) {
        if (const auto hit = in(part(0, gap), 0, start)) return hit;
        // A match across the gap, from a copy of the few bytes around it.
        const Sci_Position a = std::max(start, gap - n + 1), b = std::min(length, gap + n - 1);
        if (b - a >= n)
            if (const auto hit = in(Bytes(edit, a, b), a, a)) return hit;
    }
    if (gap < length)
        if (const auto hit = in(part(gap, length), gap, std::max(start, gap))) return hit;
    return std::nullopt;
}

}  // namespace editarea
