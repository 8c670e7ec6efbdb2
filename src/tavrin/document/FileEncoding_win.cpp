// The ANSI code page of the system, for FileEncoding.
#include "FileEncoding.h"

#include <windows.h>

namespace docfile {

namespace {

bool AllAscii(std::wstring_view t) {
    for (wchar_t c : t)
        if (static_cast<unsigned>(c) >= 0x80) return false;
    return true;
}

}  // namespace

std::wstring AnsiDecode(std::string_view bytes) { return CodePageDecode(bytes, CP_ACP); }

std::wstring CodePageDecode(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) return {};
    const int len = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), len, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(codePage, 0, bytes.data(), len, out.data(), n);
    return out;
}

std::string AnsiEncode(std::wstring_view text, bool* lossy) { return CodePageEncode(text, CP_ACP, lossy); }

std::string CodePageEncode(std::wstring_view text, unsigned codePage, bool* lossy) {
    if (lossy) *lossy = false;
    if (text.empty()) return {};
    if (AllAscii(text)) return std::string(text.begin(), text.end());  // the common case, byte for byte
    // No best-fit: a character without its own byte would quietly become a look-alike.
    BOOL usedDefault = FALSE;
    const int len = static_cast<int>(text.size());
    int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), len, nullptr, 0, nullptr, &usedDefault);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), len, out.data(), n, nullptr, &usedDefault);
    if (lossy) *lossy = usedDefault != FALSE || n <= 0 || CodePageDecode(out, codePage) != text;
    return out;
}

}  // namespace docfile
