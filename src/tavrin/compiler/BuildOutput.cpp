#include "BuildOutput.h"

#include "FileEncoding.h"
#include "TextConv.h"
#include "Texts.h"

void LineSplitter::Add(std::string_view chunk, std::vector<std::string>& lines) {
    for (char c : chunk) {
        if (c == '\n') {
            lines.push_back(std::move(partial_));
            partial_.clear();
            cut_ = false;
        } else if (c != '\r' && !cut_) {
            if (partial_.size() < max_) {
                partial_ += c;
                continue;
            }
            // Cut before a UTF-8 sequence that would be split (continuation bytes are 10xxxxxx).
            size_t end = partial_.size();
            if ((static_cast<unsigned char>(c) & 0xC0) == 0x80)
                while (end > 0 && (static_cast<unsigned char>(partial_[end - 1]) & 0xC0) == 0x80) --end;
            if (end > 0 && static_cast<unsigned char>(partial_[end - 1]) >= 0xC0) --end;
            partial_.resize(end);
            partial_ += WideToUtf8(texts::BuildLineCut);
            cut_ = true;
        }
    }
}

void LineSplitter::Finish(std::vector<std::string>& lines) {
    if (!partial_.empty()) lines.push_back(std::move(partial_));
    partial_.clear();
    cut_ = false;
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

std::optional<ColumnKind> CompilerColumns(std::wstring_view line) {
    if (line.substr(0, 6) != L"Using ") return std::nullopt;
    if (line.substr(6, 10) == L"Microsoft " || line.substr(6, 8) == L"Borland ") return ColumnKind::Characters;
    const std::wstring name = UpperAscii(line.substr(line.find_last_of(L"\\/ ") + 1));
    if (name.rfind(L"CLANG", 0) == 0) return ColumnKind::Utf8Bytes;
    if (name.rfind(L"G++", 0) == 0 || name.rfind(L"GCC", 0) == 0) return ColumnKind::DisplayColumns;
    return ColumnKind::Characters;
}

size_t CharacterOfColumn(std::wstring_view text, int column, ColumnKind kind) {
    if (column <= 1) return 0;
    const size_t want = static_cast<size_t>(column - 1);  // what stands before the character, 0-based
    size_t at = 0, character = 0;
    for (size_t i = 0; i < text.size(); ++character) {
        const char32_t c = text[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        size_t width = 1;
        if (kind == ColumnKind::DisplayColumns && c == L'\t') width = 8 - at % 8;
        if (kind == ColumnKind::Utf8Bytes) width = pair || c >= 0x10000 ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (want < at + width) return character;
        at += width;
        i += pair ? 2 : 1;
    }
    // Beyond the line: characters go on one column each past its end, as the editing area clamps.
    return character + (want - at);
}
