#include "FileEncoding.h"

#include <algorithm>

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

namespace {

// Code-page text waits for the end of its line (no character spans a line end) up to this much.
constexpr size_t kCodeCarryMost = 4u << 20;

size_t SequenceLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2; }

// Where a piece of UTF-8 with invalid bytes may end so that decoding the rest with the next piece
// gives what decoding both at once would: before a sequence the end cuts short.
size_t Utf8Split(std::string_view b) {
    const size_t n = b.size();
    for (size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(b[n - back]);
        if (c >= 0xC2 && c <= 0xF4) return SequenceLength(c) > back ? n - back : n;
        if (c < 0x80 || c > 0xBF) return n;  // ASCII or a byte no sequence holds
    }
    return n;
}

Decoded DecodeAll(std::string_view bytes, const Encoding* as) {
    std::string text;
    text.reserve(bytes.size());
    Decoder d([&](std::string_view t) { return text.append(t), true; }, as);
    Decoder::Step step = d.Add(bytes);
    if (step == Decoder::Step::Go) step = d.Finish();
    if (step == Decoder::Step::Again) {
        constexpr Encoding ansi = Encoding::Ansi;
        return DecodeAll(bytes, &ansi);
    }
    Decoded r = d.Result();
    r.text = std::move(text);
    return r;
}

}  // namespace

Decoder::Decoder(Out out, const Encoding* as) : out_(std::move(out)), as_(as) {}

bool Decoder::Emit(std::string_view text) {
    if (text.empty()) return true;
    ends_.Add(text);
    return out_(text);
}

Decoder::Step Decoder::Add(std::string_view bytes) {
    if (mode_ != Mode::Start) return Body(bytes, false);
    // The first three bytes tell a mark.
    if (carry_.size() + bytes.size() < 3) {
        carry_.append(bytes);
        return Step::Go;
    }
    if (carry_.empty()) return Begin(bytes);
    std::string joined = std::move(carry_);
    carry_.clear();
    joined.append(bytes);
    return Begin(joined);
}

Decoder::Step Decoder::Begin(std::string_view first) {
    const FileFormat seen = DetectEncoding(first.substr(0, 3));
    FileFormat& f = result_.format;
    if (as_) {
        f.encoding = *as_;
        f.bom = seen.bom && seen.encoding == *as_;
    } else if (seen.bom) {
        f = seen;
    }
    first.remove_prefix(BomLength(f));
    switch (f.encoding) {
    case Encoding::Utf8: mode_ = Mode::Utf8; break;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: mode_ = Mode::Utf16; break;
    default:
        // No mark and none chosen: UTF-8 for as long as the bytes are, ANSI otherwise.
        mode_ = as_ ? Mode::Code : Mode::Utf8Maybe;
        break;
    }
    return Body(first, false);
}

Decoder::Step Decoder::Finish() {
    if (mode_ == Mode::Start) {
        const std::string first = std::move(carry_);
        carry_.clear();
        if (const Step s = Begin(first); s != Step::Go) return s;
    }
    const std::string rest = std::move(carry_);
    carry_.clear();
    if (const Step s = Body(rest, true); s != Step::Go) return s;
    if (mode_ == Mode::Utf8Maybe) result_.format.encoding = highOut_ ? Encoding::Utf8 : Encoding::Ansi;
    result_.binary = ends_.Nul();
    result_.ends = ends_.Counts();
    result_.format.lineEnd = MostUsed(result_.ends);
    return Step::Go;
}

Decoder::Step Decoder::Body(std::string_view bytes, bool last) {
    switch (mode_) {
    case Mode::Utf16: return Utf16Body(bytes, last);
    case Mode::Code: return CodeBody(bytes, last);
    default: break;
    }
    if (!carry_.empty()) {
        // The sequence the last piece cut short, finished (or found invalid) with this one's first bytes.
        const size_t want = SequenceLength(static_cast<unsigned char>(carry_[0]));
        const size_t take = std::min(want - std::min(want, carry_.size()), bytes.size());
        carry_.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        if (carry_.size() < want && !last) return Step::Go;
        const std::string sequence = std::move(carry_);
        carry_.clear();
        if (const Step s = Utf8Body(sequence, last && bytes.empty()); s != Step::Go) return s;
        return Body(bytes, last);  // the sequence may have turned the mode to another encoding
    }
    return Utf8Body(bytes, last);
}

Decoder::Step Decoder::Utf8Body(std::string_view part, bool last) {
    if (mode_ == Mode::Utf8Repair) {
        const size_t keep = last ? part.size() : Utf8Split(part);
        carry_.assign(part.substr(keep));
        return Emit(WideToUtf8(Utf8ToWide(part.substr(0, keep)))) ? Step::Go : Step::Stop;
    }
    const Utf8Check c = CheckUtf8(part);
    if (c.valid == part.size() || (c.cut && !last)) {
        carry_.assign(part.substr(c.valid));
        highOut_ = highOut_ || c.high;
        return Emit(part.substr(0, c.valid)) ? Step::Go : Step::Stop;
    }
    if (mode_ == Mode::Utf8Maybe) {
        // Not UTF-8: the file is ANSI. Only ASCII went out so far, the same in either.
        if (highOut_) return Step::Again;
        mode_ = Mode::Code;
        result_.format.encoding = Encoding::Ansi;
        return CodeBody(part, last);
    }
    // UTF-8 by its mark or by choice: what is valid as it is, the rest with replacements.
    result_.changes.otherBytes = true;
    if (!Emit(part.substr(0, c.valid))) return Step::Stop;
    mode_ = Mode::Utf8Repair;
    return Utf8Body(part.substr(c.valid), last);
}

std::string_view Decoder::AfterCarry(std::string_view bytes, std::string& joined) {
    if (carry_.empty()) return bytes;
    joined = std::move(carry_);
    carry_.clear();
    joined.append(bytes);
    return joined;
}

Decoder::Step Decoder::CodeBody(std::string_view bytes, bool last) {
    std::string joined;
    bytes = AfterCarry(bytes, joined);
    size_t keep = bytes.size();
    if (!last) {
        const size_t lf = bytes.rfind('\n');
        keep = lf != std::string_view::npos ? lf + 1 : bytes.size() < kCodeCarryMost ? 0 : bytes.size();
    }
    carry_.assign(bytes.substr(keep));
    const std::string_view chunk = bytes.substr(0, keep);
    if (chunk.empty()) return Step::Go;
    const unsigned codePage = result_.format.encoding == Encoding::Oem ? kOemCodePage : 0;
    const std::wstring text = CodePageDecode(chunk, codePage);
    if (!result_.changes.otherBytes) {
        bool lossy = false;
        result_.changes.otherBytes = CodePageEncode(text, codePage, &lossy) != chunk || lossy;
    }
    return Emit(WideToUtf8(text)) ? Step::Go : Step::Stop;
}

Decoder::Step Decoder::Utf16Body(std::string_view bytes, bool last) {
    std::string joined;
    bytes = AfterCarry(bytes, joined);
    const bool be = result_.format.encoding == Encoding::Utf16Be;
    size_t whole = bytes.size();
    if (!last) {
        // Half a code unit, or a high surrogate, waits for the rest in the next piece.
        whole -= whole % 2;
        if (whole >= 2) {
            const unsigned u = static_cast<unsigned char>(bytes[whole - (be ? 2 : 1)]);
            if (u >= 0xD8 && u <= 0xDB) whole -= 2;
        }
    }
    carry_.assign(bytes.substr(whole));
    const std::string_view payload = bytes.substr(0, whole);
    const std::wstring text = Utf16Decode(payload, be);
    // A lone surrogate has no UTF-8 of its own.
    if (payload.size() % 2 != 0 || HasLoneSurrogate(text)) result_.changes.otherBytes = true;
    return Emit(WideToUtf8(text)) ? Step::Go : Step::Stop;
}

Decoded Decode(std::string bytes) { return DecodeAll(bytes, nullptr); }

Decoded DecodeAs(std::string bytes, Encoding encoding) { return DecodeAll(bytes, &encoding); }

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
