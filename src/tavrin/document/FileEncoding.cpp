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

// The bytes in a format already known (its mark, when it has one, skipped).
static Decoded DecodeIn(std::string bytes, const FileFormat& format) {
    Decoded d;
    d.format = format;
    const size_t bom = BomLength(d.format);
    switch (d.format.encoding) {
    case Encoding::Utf8:
        if (ValidUtf8(std::string_view(bytes).substr(bom))) {
            bytes.erase(0, bom);
            d.text = std::move(bytes);
        } else {
            d.text = WideToUtf8(Utf8ToWide(std::string_view(bytes).substr(bom)));
            d.changes.otherBytes = true;
        }
        break;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        const std::string_view payload = std::string_view(bytes).substr(bom);
        const std::wstring text = Utf16Decode(payload, d.format.encoding == Encoding::Utf16Be);
        // A lone surrogate has no UTF-8 of its own.
        d.changes.otherBytes = payload.size() % 2 != 0 || HasLoneSurrogate(text);
        d.text = WideToUtf8(text);
        break;
    }
    default: {
        const unsigned codePage = d.format.encoding == Encoding::Oem ? kOemCodePage : 0;
        const std::wstring text = CodePageDecode(bytes, codePage);
        bool lossy = false;
        d.changes.otherBytes = CodePageEncode(text, codePage, &lossy) != bytes || lossy;
        d.text = WideToUtf8(text);
        break;
    }
    }
    d.binary = d.text.find('\0') != std::string::npos;
    d.format.lineEnd = MostUsed(CountLineEnds(d.text));
    return d;
}

Decoded Decode(std::string bytes) {
    const FileFormat found = DetectEncoding(bytes);
    return DecodeIn(std::move(bytes), found);
}

Decoded DecodeAs(std::string bytes, Encoding encoding) {
    // Only a mark is looked for: the first three bytes tell.
    const FileFormat seen = DetectEncoding(std::string_view(bytes).substr(0, 3));
    FileFormat f;
    f.encoding = encoding;
    f.bom = seen.bom && seen.encoding == encoding;
    return DecodeIn(std::move(bytes), f);
}

bool ReadsBack(std::string_view text, std::string_view bytes, const FileFormat& format) {
    // OEM is never detected: it reads back only as it was written, by choosing it again.
    if (format.encoding == Encoding::Oem) return true;
    // Detected as written: decoded as written. Only the rare rest is decoded to compare.
    const FileFormat seen = DetectEncoding(bytes);
    if (seen.encoding == format.encoding && seen.bom == format.bom) return true;
    return Decode(std::string(bytes)).text == WithFinalLineEnd(text, format.lineEnd);
}

std::string Encode(std::string_view text, const FileFormat& format, bool* unstorable) {
    const std::string_view end =
        text.empty() || (text.back() != '\n' && text.back() != '\r') ? LineEndChars(format.lineEnd) : "";
    std::string out;
    bool lossy = false;
    switch (format.encoding) {
    case Encoding::Utf8:
        // The area's own bytes: no conversion.
        out.reserve(text.size() + 5);
        if (format.bom) out.assign(reinterpret_cast<const char*>(kUtf8Bom), 3);
        lossy = !ValidUtf8(text);
        out += text;
        out += end;
        break;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        const bool be = format.encoding == Encoding::Utf16Be;
        if (format.bom) out = be ? std::string("\xFE\xFF", 2) : std::string("\xFF\xFE", 2);
        Utf16Encode(Utf8ToWide(WithFinalLineEnd(text, format.lineEnd)), be, out);
        break;
    }
    default:
        out = CodePageEncode(Utf8ToWide(WithFinalLineEnd(text, format.lineEnd)),
                             format.encoding == Encoding::Oem ? kOemCodePage : 0, &lossy);
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
    case Encoding::Oem: return L"OEM";
    default: return L"ANSI";
    }
}

}  // namespace docfile
