#include "DocumentFile.h"
#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include "SafeSave.h"
#include "TextConv.h"
#endif

namespace docfile {

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

std::wstring SizeText(unsigned long long bytes) {
    constexpr unsigned long long mb = 1024ull * 1024;
    if (bytes < 1024) return std::to_wstring(bytes) + L" bytes";
    if (bytes < mb) return std::to_wstring((bytes + 512) / 1024) + L" KB";
    const unsigned long long tenths = (bytes * 10 + mb / 2) / mb;
    return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + L" MB";
}

size_t ControlPosFromTextPos(std::wstring_view text, size_t textPos) {
    if (textPos > text.size()) textPos = text.size();
    size_t pos = 0;
    for (size_t i = 0; i < textPos; ++i) {
        if (text[i] == L'\n' && i > 0 && text[i - 1] == L'\r') continue;
        ++pos;
    }
    return pos;
}

size_t TextPosFromControlPos(std::wstring_view text, size_t controlPos) {
    size_t i = 0;
    for (size_t pos = 0; pos < controlPos && i < text.size(); ++pos) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') i += 2;
        else ++i;
    }
    return i;
}

#ifdef _WIN32
std::string EncodeForFile(std::wstring_view text, bool* lossy) { return WideToAnsi(WithFinalLineEnd(text), lossy); }

bool ReadText(const std::wstring& path, std::wstring& text, unsigned long& error) {
    std::string bytes;
    if (!safesave::ReadAll(path, bytes, error)) return false;
    text = AnsiToWide(bytes);
    return true;
}

bool WriteText(const std::wstring& path, std::wstring_view text, unsigned long& error) {
    bool lossy = false;
    const std::string bytes = EncodeForFile(text, &lossy);
    // A character the code page cannot hold would silently become another one.
    if (lossy) { error = ERROR_NO_UNICODE_TRANSLATION; return false; }
    return safesave::WriteAll(path, bytes, error);
}
#endif

}  // namespace docfile
