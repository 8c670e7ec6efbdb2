#include "DocumentFile.h"
#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include "Raii.h"
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
    if (data[available - 1] != L'\r') return available;
    // Keep the CR back for the next chunk; a chunk of a lone CR waits for more text.
    return available - 1;
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
    raii::File f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) { error = GetLastError(); return false; }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.get(), &size)) { error = GetLastError(); return false; }
    if (size.QuadPart > 0x7fffffffLL) { error = ERROR_NOT_ENOUGH_MEMORY; return false; }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(f.get(), bytes.data() + done, want, &got, nullptr)) { error = GetLastError(); return false; }
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    text = AnsiToWide(bytes);
    return true;
}

bool WriteText(const std::wstring& path, std::wstring_view text, unsigned long& error) {
    bool lossy = false;
    const std::string bytes = EncodeForFile(text, &lossy);
    // A character the code page cannot hold would silently become another one.
    if (lossy) { error = ERROR_NO_UNICODE_TRANSLATION; return false; }
    raii::File f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) { error = GetLastError(); return false; }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!WriteFile(f.get(), bytes.data() + done, want, &put, nullptr) || put == 0) {
            error = GetLastError();
            if (error == ERROR_SUCCESS) error = ERROR_DISK_FULL;
            return false;
        }
        done += put;
    }
    if (!FlushFileBuffers(f.get())) { error = GetLastError(); return false; }
    return true;
}
#endif

}  // namespace docfile
