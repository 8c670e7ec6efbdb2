#include "FileEncoding.h"

#include "DocumentFile.h"
#include "TextConv.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace docfile {

namespace {

constexpr unsigned char kUtf8Bom[] = {0xEF, 0xBB, 0xBF};

bool StartsWith(std::string_view b, const unsigned char* mark, size_t n) {
    if (b.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(b[i]) != mark[i]) return false;
    return true;
}

bool HasHighByte(std::string_view b) {
    for (char c : b)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

size_t BomLength(const FileFormat& f) {
    if (!f.bom) return 0;
    return f.encoding == Encoding::Utf8 ? 3 : 2;
}

std::wstring Utf16Decode(std::string_view b, bool bigEndian) {
    std::wstring out;
    out.reserve(b.size() / 2 + 1);
    for (size_t i = 0; i + 1 < b.size(); i += 2) {
        const unsigned lo = static_cast<unsigned char>(b[i + (bigEndian ? 1 : 0)]);
        const unsigned hi = static_cast<unsigned char>(b[i + (bigEndian ? 0 : 1)]);
        out.push_back(static_cast<wchar_t>(lo | (hi << 8)));
    }
    if (b.size() % 2) out.push_back(static_cast<wchar_t>(0xFFFD));  // a last half code unit
    return out;
}

void Utf16Encode(std::wstring_view t, bool bigEndian, std::string& out) {
    out.reserve(out.size() + t.size() * 2);
    for (wchar_t w : t) {
        const unsigned u = static_cast<unsigned>(w) & 0xFFFF;
        const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out.push_back(bigEndian ? hi : lo);
        out.push_back(bigEndian ? lo : hi);
    }
}

bool HasLoneSurrogate(std::wstring_view t) {
    for (size_t i = 0; i < t.size(); ++i) {
        const unsigned u = static_cast<unsigned>(t[i]) & 0xFFFF;
        if (u >= 0xD800 && u <= 0xDBFF) {
            const unsigned next = i + 1 < t.size() ? static_cast<unsigned>(t[i + 1]) & 0xFFFF : 0;
            if (next < 0xDC00 || next > 0xDFFF) return true;
            ++i;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return true;
        }
    }
    return false;
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

#ifdef _WIN32
bool AllAscii(std::wstring_view t) {
    for (wchar_t c : t)
        if (static_cast<unsigned>(c) >= 0x80) return false;
    return true;
}
#endif

}  // namespace

#ifdef _WIN32
std::wstring AnsiDecode(std::string_view bytes) { return AnsiToWide(bytes); }

std::string AnsiEncode(std::wstring_view text, bool* lossy) {
    if (lossy) *lossy = false;
    if (text.empty()) return {};
    if (AllAscii(text)) return std::string(text.begin(), text.end());  // the common case, byte for byte
    // No best-fit: a character without its own byte would quietly become a look-alike.
    BOOL usedDefault = FALSE;
    const int len = static_cast<int>(text.size());
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), len, nullptr, 0, nullptr, &usedDefault);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), len, out.data(), n, nullptr, &usedDefault);
    if (lossy) *lossy = usedDefault != FALSE || n <= 0 || AnsiDecode(out) != text;
    return out;
}
#else
std::wstring AnsiDecode(std::string_view bytes) {
    std::wstring out(bytes.size(), L'\0');
    for (size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    return out;
}

std::string AnsiEncode(std::wstring_view text, bool* lossy) {
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
#endif

FileFormat DetectEncoding(std::string_view bytes) {
    static constexpr unsigned char le[] = {0xFF, 0xFE}, be[] = {0xFE, 0xFF};
    FileFormat f;
    if (StartsWith(bytes, kUtf8Bom, 3)) {
        f.encoding = Encoding::Utf8;
        f.bom = true;
    } else if (StartsWith(bytes, le, 2)) {
        f.encoding = Encoding::Utf16Le;
        f.bom = true;
    } else if (StartsWith(bytes, be, 2)) {
        f.encoding = Encoding::Utf16Be;
        f.bom = true;
    } else if (HasHighByte(bytes) && ValidUtf8(bytes)) {
        f.encoding = Encoding::Utf8;
    }
    return f;
}

std::wstring ToControlText(std::wstring_view t, size_t* crlf, size_t* lf, size_t* cr) {
    size_t nCrLf = 0, nLf = 0, nCr = 0;
    std::wstring out;
    out.reserve(t.size() + t.size() / 32);
    for (size_t i = 0; i < t.size(); ++i) {
        const wchar_t c = t[i];
        if (c == L'\r') {
            if (i + 1 < t.size() && t[i + 1] == L'\n') { ++nCrLf; ++i; }
            else ++nCr;
            out += L"\r\n";
        } else if (c == L'\n') {
            ++nLf;
            out += L"\r\n";
        } else {
            out.push_back(c);
        }
    }
    if (crlf) *crlf = nCrLf;
    if (lf) *lf = nLf;
    if (cr) *cr = nCr;
    return out;
}

Decoded Decode(std::string_view bytes) {
    Decoded d;
    d.format = DetectEncoding(bytes);
    const std::string_view payload = bytes.substr(BomLength(d.format));
    std::wstring text;
    switch (d.format.encoding) {
    case Encoding::Utf8:
        text = Utf8ToWide(payload);
        d.changes.otherBytes = !ValidUtf8(payload);
        break;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        text = Utf16Decode(payload, d.format.encoding == Encoding::Utf16Be);
        d.changes.otherBytes = payload.size() % 2 != 0;
        break;
    default: {
        text = AnsiDecode(payload);
        bool lossy = false;
        d.changes.otherBytes = AnsiEncode(text, &lossy) != payload || lossy;
        break;
    }
    }
    d.changes.nul = text.find(L'\0') != std::wstring::npos;
    size_t crlf = 0, lf = 0, cr = 0;
    d.text = ToControlText(text, &crlf, &lf, &cr);
    // The style most lines use; a file of LF lines stays LF, a new or mixed one CR LF unless LF rules.
    d.format.lineEnd = lf > crlf + cr ? LineEnd::Lf : LineEnd::CrLf;
    d.changes.lineEnds = cr > 0 || (crlf > 0 && lf > 0);
    return d;
}

bool ReadsBack(std::wstring_view text, const FileFormat& format) {
    return Decode(Encode(text, format)).text == ToControlText(WithFinalLineEnd(text));
}

bool CanStore(std::wstring_view text, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: return true;
    case Encoding::Utf8: return !HasLoneSurrogate(text);
    default: {
        bool lossy = false;
        AnsiEncode(text, &lossy);
        return !lossy;
    }
    }
}

std::string Encode(std::wstring_view text, const FileFormat& format, bool* unstorable) {
    std::wstring t = WithFinalLineEnd(text);
    if (format.lineEnd == LineEnd::Lf) t = CrLfToLf(t);
    std::string out;
    bool lossy = false;
    switch (format.encoding) {
    case Encoding::Utf8:
        if (format.bom) out.assign(reinterpret_cast<const char*>(kUtf8Bom), 3);
        lossy = HasLoneSurrogate(t);
        out += WideToUtf8(t);
        break;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        const bool be = format.encoding == Encoding::Utf16Be;
        if (format.bom) out = be ? std::string("\xFE\xFF", 2) : std::string("\xFF\xFE", 2);
        Utf16Encode(t, be, out);
        break;
    }
    default:
        out = AnsiEncode(t, &lossy);
        break;
    }
    if (unstorable) *unstorable = lossy;
    return out;
}

std::wstring FormatName(const FileFormat& format) {
    switch (format.encoding) {
    case Encoding::Utf8: return format.bom ? L"UTF-8 with BOM" : L"UTF-8";
    case Encoding::Utf16Le: return L"UTF-16 LE";
    case Encoding::Utf16Be: return L"UTF-16 BE";
    default: return L"ANSI";
    }
}

}  // namespace docfile
