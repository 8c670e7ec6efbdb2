#include "VersionFile.h"

#include <vector>

#include "TextConv.h"

namespace {

std::vector<std::wstring_view> Fields(std::wstring_view v) {
    std::vector<std::wstring_view> out;
    size_t start = 0;
    for (;;) {
        size_t dot = v.find(L'.', start);
        out.push_back(v.substr(start, dot == std::wstring_view::npos ? std::wstring_view::npos : dot - start));
        if (dot == std::wstring_view::npos) return out;
        start = dot + 1;
    }
}

// Compares two digit strings of any length as numbers.
int CompareNumbers(std::wstring_view a, std::wstring_view b) {
    while (!a.empty() && a.front() == L'0') a.remove_prefix(1);
    while (!b.empty() && b.front() == L'0') b.remove_prefix(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Blanks, tabs and the CR of a CR LF line end.
std::wstring Trim(std::wstring_view s) {
    const wchar_t* ws = L" \t\r";
    size_t b = s.find_first_not_of(ws);
    if (b == std::wstring_view::npos) return {};
    size_t e = s.find_last_not_of(ws);
    return std::wstring(s.substr(b, e - b + 1));
}

bool StartsWithNoCase(std::wstring_view s, std::wstring_view prefix) {
    return s.size() >= prefix.size() && UpperAscii(s.substr(0, prefix.size())) == UpperAscii(prefix);
}

}  // namespace

bool IsVersionText(std::wstring_view v) {
    if (v.empty()) return false;
    for (std::wstring_view f : Fields(v)) {
        if (f.empty()) return false;
        for (wchar_t c : f)
            if (c < L'0' || c > L'9') return false;
    }
    return true;
}

int CompareVersions(std::wstring_view a, std::wstring_view b) {
    auto fa = Fields(a), fb = Fields(b);
    const size_t n = fa.size() > fb.size() ? fa.size() : fb.size();
    for (size_t i = 0; i < n; ++i) {
        int c = CompareNumbers(i < fa.size() ? fa[i] : L"0", i < fb.size() ? fb[i] : L"0");
        if (c) return c;
    }
    return 0;
}

bool IsWebAddress(std::wstring_view s) {
    std::wstring_view rest;
    if (StartsWithNoCase(s, L"http://"))
        rest = s.substr(7);
    else if (StartsWithNoCase(s, L"https://"))
        rest = s.substr(8);
    else
        return false;
    // Printable ASCII only: no look-alike, invisible or direction-changing characters reach the
    // browser, and nothing that the shell could read as a share or a path.
    for (wchar_t c : s)
        if (c <= L' ' || c >= 0x7F || std::wstring_view(L"\\\"<>^`{|}").find(c) != std::wstring_view::npos)
            return false;
    std::wstring_view host = rest.substr(0, rest.find_first_of(L"/?#"));
    const size_t at = host.rfind(L'@');
    if (at != std::wstring_view::npos) host.remove_prefix(at + 1);
    std::wstring_view port;
    if (!host.empty() && host.front() == L'[') {  // an IPv6 address
        const size_t close = host.find(L']');
        if (close == std::wstring_view::npos || close == 1) return false;
        port = host.substr(close + 1);
        host = host.substr(1, close - 1);
    } else {
        const size_t colon = host.find(L':');
        if (colon != std::wstring_view::npos) port = host.substr(colon), host = host.substr(0, colon);
    }
    if (host.empty()) return false;
    if (!port.empty()) {
        if (port.front() != L':') return false;
        for (wchar_t c : port.substr(1))
            if (c < L'0' || c > L'9') return false;
    }
    return true;
}

bool ParseVersionFile(std::string_view bytes, VersionFile& out) {
    if (bytes.size() > kMaxVersionFileBytes) return false;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (!ValidUtf8(bytes) || bytes.find('\0') != std::string_view::npos) return false;
    const std::wstring text = Utf8ToWide(bytes);

    VersionFile f;
    bool haveVersion = false, haveDownload = false, haveInfo = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = Trim(std::wstring_view(text).substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == L'#') continue;
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos) return false;
        const std::wstring key = UpperAscii(Trim(std::wstring_view(line).substr(0, eq)));
        const std::wstring value = Trim(std::wstring_view(line).substr(eq + 1));
        if (key == L"VERSION") {
            if (haveVersion || !IsVersionText(value)) return false;
            f.version = value;
            haveVersion = true;
        } else if (key == L"DOWNLOAD") {
            if (haveDownload || !IsWebAddress(value)) return false;
            f.download = value;
            haveDownload = true;
        } else if (key == L"INFO") {
            if (haveInfo) f.info += L'\n';
            f.info += value;
            haveInfo = true;
        } else if (key.empty()) {
            return false;
        }
    }
    if (!haveVersion || !haveDownload) return false;
    out = std::move(f);
    return true;
}
