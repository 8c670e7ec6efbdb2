// Latin-1 in place of the ANSI code page where there is no Windows (the host tests and fuzzers).
#include "FileEncoding.h"

namespace docfile {

std::wstring AnsiDecode(std::string_view bytes) { return CodePageDecode(bytes, 0); }

std::wstring CodePageDecode(std::string_view bytes, unsigned) {
    std::wstring out(bytes.size(), L'\0');
    for (size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    return out;
}

std::string AnsiEncode(std::wstring_view text, bool* lossy) { return CodePageEncode(text, 0, lossy); }

std::string CodePageEncode(std::wstring_view text, unsigned, bool* lossy) {
    if (lossy) *lossy = false;
    std::string out(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned u = static_cast<unsigned>(text[i]);
        if (u > 0xFF) {
            if (lossy) *lossy = true;
            out[i] = '?';
        } else {
            out[i] = static_cast<char>(u);
        }
    }
    return out;
}

}  // namespace docfile
