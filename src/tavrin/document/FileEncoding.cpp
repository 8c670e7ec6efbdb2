#include "FileEncoding.h"

#include "LineEnds.h"
#include "TextConv.h"

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

}  // namespace

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
    LineEndCounts n;
    d.text = ToCrLf(text, &n);
    // The style most lines use; a file of LF lines stays LF, a new or mixed one CR LF unless LF rules.
    d.format.lineEnd = n.lf > n.crlf + n.cr ? LineEnd::Lf : LineEnd::CrLf;
    d.changes.lineEnds = n.cr > 0 || (n.crlf > 0 && n.lf > 0);
    return d;
}

bool ReadsBack(std::wstring_view text, std::string_view bytes, const FileFormat& format) {
    // Detected as written: decoded as written. Only the rare rest is decoded to compare.
    const FileFormat seen = DetectEncoding(bytes);
    if (seen.encoding == format.encoding && seen.bom == format.bom) return true;
    return Decode(bytes).text == ToCrLf(WithFinalLineEnd(text));
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
