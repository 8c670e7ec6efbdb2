#include "LineEnds.h"

namespace docfile {

std::wstring ToCrLf(std::wstring_view t, LineEndCounts* counts) {
    LineEndCounts n;
    std::wstring out;
    out.reserve(t.size() + t.size() / 32);
    for (size_t i = 0; i < t.size(); ++i) {
        const wchar_t c = t[i];
        if (c == L'\r') {
            if (i + 1 < t.size() && t[i + 1] == L'\n') { ++n.crlf; ++i; }
            else ++n.cr;
            out += L"\r\n";
        } else if (c == L'\n') {
            ++n.lf;
            out += L"\r\n";
        } else {
            out.push_back(c);
        }
    }
    if (counts) *counts = n;
    return out;
}

std::wstring CrLfToCr(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && i > 0 && text[i - 1] == L'\r') continue;
        out.push_back(text[i]);
    }
    return out;
}

std::wstring CrLfToLf(std::wstring_view t) {
    std::wstring out;
    out.reserve(t.size());
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == L'\r' && i + 1 < t.size() && t[i + 1] == L'\n') continue;
        out.push_back(t[i]);
    }
    return out;
}

std::wstring WithFinalLineEnd(std::wstring_view text) {
    std::wstring out(text);
    if (out.empty() || (out.back() != L'\n' && out.back() != L'\r')) out += L"\r\n";
    return out;
}

size_t ChunkLength(const wchar_t* data, size_t available, bool endOfText) {
    if (available == 0 || endOfText) return available;
    const unsigned last = static_cast<unsigned>(data[available - 1]) & 0xFFFF;
    // Keep the CR (or high surrogate) back for the next chunk; a chunk of just that waits for more.
    if (last == L'\r' || (last >= 0xD800 && last <= 0xDBFF)) return available - 1;
    return available;
}

}  // namespace docfile
