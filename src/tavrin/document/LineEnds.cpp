#include "LineEnds.h"

namespace docfile {

LineEndCounts CountLineEnds(std::string_view t) {
    LineEndCounts n;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r') {
            if (i + 1 < t.size() && t[i + 1] == '\n') ++n.crlf, ++i;
            else ++n.cr;
        } else if (t[i] == '\n') {
            ++n.lf;
        }
    }
    return n;
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
