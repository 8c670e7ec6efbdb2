#include "BuildOutput.h"

#include "FileEncoding.h"
#include "TextConv.h"

void LineSplitter::Add(std::string_view chunk, std::vector<std::string>& lines) {
    for (char c : chunk) {
        if (c == '\n') {
            lines.push_back(std::move(partial_));
            partial_.clear();
        } else if (c != '\r') {
            partial_ += c;
        }
    }
}

void LineSplitter::Finish(std::vector<std::string>& lines) {
    if (!partial_.empty()) lines.push_back(std::move(partial_));
    partial_.clear();
}

std::wstring DecodeLine(std::string_view bytes, unsigned oemCodePage) {
    return ValidUtf8(bytes) ? Utf8ToWide(bytes) : docfile::CodePageDecode(bytes, oemCodePage);
}

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Reads 1-9 digits at `i`, a number above 0.
bool ReadNumber(std::wstring_view s, size_t& i, int& value) {
    const size_t start = i;
    int v = 0;
    while (i < s.size() && IsDigit(s[i]) && i - start < 9) v = v * 10 + (s[i++] - L'0');
    if (i == start || (i < s.size() && IsDigit(s[i])) || v == 0) return false;
    value = v;
    return true;
}

bool Skip(std::wstring_view s, size_t& i, std::wstring_view text) {
    if (s.substr(i, text.size()) != text) return false;
    i += text.size();
    return true;
}

// A file name as a compiler prints it: not empty, not indented (source lines shown under a
// diagnostic are), no character Windows forbids in a path.
bool PlausiblePath(std::wstring_view p) {
    if (p.empty() || p.front() == L' ' || p.front() == L'\t') return false;
    return p.find_first_of(L"\"<>|?*") == std::wstring_view::npos;
}

// "fatal error", "error", "warning" or "note" at `i`.
bool ReadSeverity(std::wstring_view s, size_t& i, Severity& sev) {
    if (Skip(s, i, L"fatal error") || Skip(s, i, L"error")) return sev = Severity::Error, true;
    if (Skip(s, i, L"warning")) return sev = Severity::Warning, true;
    if (Skip(s, i, L"note")) return sev = Severity::Note, true;
    return false;
}

// The diagnostic at `path` with the rest of the line from `message` as its text; none when the
// place does not look like a file.
std::optional<Diagnostic> At(Diagnostic d, std::wstring_view path, std::wstring_view line, size_t message) {
    if (!PlausiblePath(path)) return std::nullopt;
    d.file = path;
    d.message = line.substr(message);
    return d;
}

// path:12:5: error: msg / path:12: warning: msg. A drive letter's colon is followed by no number.
std::optional<Diagnostic> ParseGcc(std::wstring_view s) {
    for (size_t colon = s.find(L':'); colon != std::wstring_view::npos; colon = s.find(L':', colon + 1)) {
        Diagnostic d;
        size_t i = colon + 1;
        if (!ReadNumber(s, i, d.line) || !Skip(s, i, L":")) continue;
        size_t j = i;
        if (ReadNumber(s, j, d.column) && Skip(s, j, L":")) i = j;
        else d.column = 0;
        if (!Skip(s, i, L" ") || !ReadSeverity(s, i, d.severity) || !Skip(s, i, L": ")) continue;
        return At(d, s.substr(0, colon), s, i);
    }
    return std::nullopt;
}

// path(12): error C2065: msg / path(12,5): warning C4101: msg / path(12): note: msg.
std::optional<Diagnostic> ParseMicrosoft(std::wstring_view s) {
    for (size_t open = s.find(L'('); open != std::wstring_view::npos; open = s.find(L'(', open + 1)) {
        Diagnostic d;
        size_t i = open + 1;
        if (!ReadNumber(s, i, d.line)) continue;
        if (Skip(s, i, L",") && !ReadNumber(s, i, d.column)) continue;
        if (!Skip(s, i, L"): ") || !ReadSeverity(s, i, d.severity)) continue;
        if (Skip(s, i, L" ")) {  // the message's code: C2065, C4101...
            const size_t code = i;
            while (i < s.size() && (IsDigit(s[i]) || (s[i] >= L'A' && s[i] <= L'Z'))) ++i;
            if (i == code) continue;
        }
        if (!Skip(s, i, L": ")) continue;
        return At(d, s.substr(0, open), s, i);
    }
    return std::nullopt;
}

// Error E2451 path 12: msg / Warning W8004 path 12: msg / Fatal F1003 path 12: msg.
std::optional<Diagnostic> ParseBorland(std::wstring_view s) {
    Diagnostic d;
    size_t i = 0;
    if (Skip(s, i, L"Error E") || Skip(s, i, L"Fatal F")) d.severity = Severity::Error;
    else if (Skip(s, i, L"Warning W")) d.severity = Severity::Warning;
    else return std::nullopt;
    const size_t code = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    if (i == code || !Skip(s, i, L" ")) return std::nullopt;
    // The location ends at the first colon that is not a drive letter's.
    const size_t pathStart = i;
    size_t colon = s.find(L':', pathStart);
    if (colon == pathStart + 1) colon = s.find(L':', colon + 1);
    if (colon == std::wstring_view::npos) return std::nullopt;
    size_t space = s.rfind(L' ', colon);
    if (space == std::wstring_view::npos || space <= pathStart) return std::nullopt;
    size_t n = space + 1;
    if (!ReadNumber(s, n, d.line) || n != colon) return std::nullopt;
    size_t m = colon;
    if (!Skip(s, m, L": ")) return std::nullopt;
    return At(d, s.substr(pathStart, space - pathStart), s, m);
}

}  // namespace

std::optional<Diagnostic> ParseDiagnostic(std::wstring_view line) {
    if (auto d = ParseBorland(line)) return d;
    if (auto d = ParseMicrosoft(line)) return d;
    return ParseGcc(line);
}
