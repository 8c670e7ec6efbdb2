#include "basTavrin.h"

#include <cwctype>

std::wstring DefaultCodeFolder;

namespace settings {

int ParseNumber(const std::optional<std::wstring>& text, int fallback) {
    if (!text) return fallback;
    const std::wstring& s = *text;
    size_t i = 0, n = s.size();
    while (i < n && std::iswspace(s[i])) ++i;
    while (n > i && std::iswspace(s[n - 1])) --n;
    bool negative = false;
    if (i < n && (s[i] == L'-' || s[i] == L'+')) negative = s[i++] == L'-';
    if (i == n) return fallback;
    long long v = 0;
    for (; i < n; ++i) {
        if (s[i] < L'0' || s[i] > L'9') return fallback;
        v = v * 10 + (s[i] - L'0');
        // The negative range reaches one further than the positive one.
        if (v > (negative ? 0x80000000LL : 0x7fffffffLL)) return fallback;
    }
    return static_cast<int>(negative ? -v : v);
}

Values Read(Store& store, const std::wstring& defaultCodeFolder) {
    Values v;
    auto dir = store.Read(KeyInitDir);
    v.initDir = (dir && !dir->empty()) ? *dir : defaultCodeFolder;
    v.defaultFileType = ParseNumber(store.Read(KeyDefaultFileType), 0);
    if (v.defaultFileType < 0 || v.defaultFileType >= FileTypeCount) v.defaultFileType = 0;
    v.left = ParseNumber(store.Read(KeyMainLeft), DefaultLeft);
    v.top = ParseNumber(store.Read(KeyMainTop), DefaultTop);
    v.width = ParseNumber(store.Read(KeyMainWidth), DefaultWidth);
    v.height = ParseNumber(store.Read(KeyMainHeight), DefaultHeight);
    // A size of nothing would leave no window to see.
    if (v.width <= 0) v.width = DefaultWidth;
    if (v.height <= 0) v.height = DefaultHeight;
    return v;
}

void Write(Store& store, const Values& v) {
    store.Write(KeyInitDir, v.initDir);
    store.Write(KeyDefaultFileType, std::to_wstring(v.defaultFileType));
    store.Write(KeyMainLeft, std::to_wstring(v.left));
    store.Write(KeyMainTop, std::to_wstring(v.top));
    store.Write(KeyMainWidth, std::to_wstring(v.width));
    store.Write(KeyMainHeight, std::to_wstring(v.height));
}

int ReadLargeFileKB(Store& store) {
    const int kb = ParseNumber(store.Read(KeyLargeFileKB), DefaultLargeFileKB);
    return kb < 0 ? DefaultLargeFileKB : kb;
}

void WriteLargeFileKB(Store& store, int kb) { store.Write(KeyLargeFileKB, std::to_wstring(kb)); }

int ReadTabWidth(Store& store) {
    const int n = ParseNumber(store.Read(KeyTabWidth), DefaultTabWidth);
    return n < MinTabWidth || n > MaxTabWidth ? DefaultTabWidth : n;
}

void WriteTabWidth(Store& store, int columns) { store.Write(KeyTabWidth, std::to_wstring(columns)); }

bool IsLargeFile(unsigned long long bytes, int kb) {
    return kb > 0 && bytes > static_cast<unsigned long long>(kb) * 1024;
}

std::wstring CodeFolderOf(const std::wstring& programFolder) {
    std::wstring f = programFolder;
    while (!f.empty() && (f.back() == L'\\' || f.back() == L'/')) f.pop_back();
    return f + L"\\Code";
}

}  // namespace settings

std::wstring FileFromCommandLine(std::wstring_view line) {
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    // The program name ends at its closing quote, or at the first blank when it is not quoted,
    // as the system's own splitting reads it.
    size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        const size_t close = line.find(L'"', 1);
        i = close == std::wstring_view::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && !blank(line[i])) ++i;
    }
    std::wstring file;
    for (; i < line.size(); ++i)
        if (line[i] != L'"') file += line[i];
    size_t start = 0, end = file.size();
    while (start < end && blank(file[start])) ++start;
    while (end > start && blank(file[end - 1])) --end;
    return file.substr(start, end - start);
}
