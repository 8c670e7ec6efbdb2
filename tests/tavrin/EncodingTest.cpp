// Document files as bytes: detection, decoding to the editing area's text and encoding back.
#include <gtest/gtest.h>

#include <string>

#include "DocumentStore.h"
#include "LineEnds.h"
#include "FileEncoding.h"
#include "TextConv.h"
#include "TextFormat.h"

using docfile::Decode;
using docfile::Encode;
using docfile::Encoding;
using docfile::FileFormat;
using docfile::LineEnd;

namespace {

std::string U8(std::wstring_view w) { return WideToUtf8(w); }

// Decodes and encodes the unchanged text again.
std::string RoundTrip(const std::string& bytes) {
    const docfile::Decoded d = Decode(bytes);
    return Encode(d.text, d.format);
}

const std::string kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

// Marks win over content; UTF-8 only when valid with a multi-byte sequence.
TEST(Encodings, DetectedFromTheMarkOrTheBytes) {
    const FileFormat u8{Encoding::Utf8}, ansi{};
    const std::pair<std::string, FileFormat> rows[] = {
        {kUtf8Bom + "abc", {Encoding::Utf8, true}}, {std::string("\xFF\xFE" "a\0", 4), {Encoding::Utf16Le, true}},
        {std::string("\xFE\xFF\0a", 4), {Encoding::Utf16Be, true}}, {kUtf8Bom, {Encoding::Utf8, true}},  // a mark alone
        {"\xFF\xFE", {Encoding::Utf16Le, true}}, {"plain ascii\r\n", ansi}, {"caf\xC3\xA9", u8}, {"caf\xE9", ansi},
        {"\xC3\xA9 and \xE9", ansi},  // one bad byte spoils it
        {"\xC0\xAF", ansi}, {"\xED\xA0\x80", ansi}, {"\xF0\x9F\x98\x80", u8}, {"", ansi},  // overlong, surrogate
    };
    for (const auto& [bytes, format] : rows) EXPECT_EQ(docfile::DetectEncoding(bytes), format) << bytes;
}

TEST(Encodings, DecodesEachEncodingAndSavesItBackIdentical) {
    // A UTF-8 file is its own text, taken as it is.
    const std::string utf8 = "// caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\nint x;\r\n";
    docfile::Decoded d = Decode(utf8);
    EXPECT_EQ(d.format, (FileFormat{Encoding::Utf8, false, LineEnd::CrLf}));
    EXPECT_EQ(d.text, utf8);
    EXPECT_FALSE(d.changes.Any());
    EXPECT_EQ(Encode(d.text, d.format), utf8);
    EXPECT_EQ(RoundTrip(kUtf8Bom + utf8), kUtf8Bom + utf8);

    // UTF-16 both ways round, with a surrogate pair.
    const std::string le("\xFF\xFE" "a\0\x3D\xD8\x00\xDE\r\0\n\0", 12);
    d = Decode(le);
    EXPECT_EQ(d.format.encoding, Encoding::Utf16Le);
    EXPECT_EQ(d.text, U8(L"a\xD83D\xDE00\r\n"));
    EXPECT_FALSE(d.changes.Any());
    EXPECT_EQ(Encode(d.text, d.format), le);
    const std::string be("\xFE\xFF\0a\xD8\x3D\xDE\x00\0\r\0\n", 12);
    d = Decode(be);
    EXPECT_EQ(d.format.encoding, Encoding::Utf16Be);
    EXPECT_EQ(d.text, U8(L"a\xD83D\xDE00\r\n"));
    EXPECT_EQ(Encode(d.text, d.format), be);

    // 8-bit text with a byte above 127 that is not UTF-8.
    const std::string ansi = "caf\xE9\r\n";
    d = Decode(ansi);
    EXPECT_EQ(d.format.encoding, Encoding::Ansi);
    EXPECT_EQ(d.text, U8(L"caf\u00e9\r\n"));
    EXPECT_EQ(Encode(d.text, d.format), ansi);
}

TEST(Encodings, InvalidOrCutSequencesAreReported) {
    // A UTF-8 mark before bytes that are not UTF-8: decoded with replacements, and said so.
    docfile::Decoded d = Decode(kUtf8Bom + "a\xFF" "b\r\n");
    EXPECT_EQ(d.format.encoding, Encoding::Utf8);
    EXPECT_TRUE(d.changes.otherBytes);
    EXPECT_EQ(d.text, U8(L"a\uFFFDb\r\n"));
    // UTF-16 with half a code unit at the end, or either half of a surrogate pair alone.
    EXPECT_TRUE(Decode(std::string("\xFF\xFE" "a\0b", 5)).changes.otherBytes);
    EXPECT_TRUE(Decode(std::string("\xFF\xFE" "a\0\x3D\xD8", 6)).changes.otherBytes);
    EXPECT_TRUE(Decode(std::string("\xFF\xFE" "a\0\x00\xDC", 6)).changes.otherBytes);
    // A mark and no content saves as the mark and the line end of a new line.
    d = Decode(kUtf8Bom);
    EXPECT_EQ(d.text, "");
    EXPECT_FALSE(d.changes.Any());
    EXPECT_EQ(Encode(d.text, d.format), kUtf8Bom + "\r\n");
    d = Decode("\xFF\xFE");
    EXPECT_EQ(Encode(d.text, d.format), std::string("\xFF\xFE\r\0\n\0", 6));
}

TEST(Encodings, TextThatWouldOpenAsOtherTextIsFoundBeforeSaving) {
    // What opening the bytes again gives decides; UTF-8 with its mark always reads back.
    const FileFormat ansi{}, utf8{Encoding::Utf8}, utf8Bom{Encoding::Utf8, true}, le{Encoding::Utf16Le, true};
    const struct {
        std::wstring text;
        FileFormat format;
        bool same;
    } cases[] = {
        {L"\u00c3\u00a9t\u00c3\u00a9", ansi, false},      // C3 A9 74 C3 A9: valid UTF-8, opens as "\u00e9t\u00e9"
        {L"\u00ef\u00bb\u00bf" L"abc", ansi, false},       // EF BB BF: a UTF-8 mark
        {L"\u00ff\u00fe" L"ab", ansi, false},               // FF FE: a UTF-16 LE mark
        {L"\u00fe\u00ff" L"ab", ansi, false},               // FE FF: a UTF-16 BE mark
        {L"\uFEFF" L"abc", utf8, false},                    // U+FEFF first, written without a mark
        {L"caf\u00e9 \u00c3", ansi, true},                  // not valid UTF-8 as bytes
        {L"x \u00ef\u00bb\u00bf", ansi, false},             // EF BB BF later: valid UTF-8 all the same
        {L"plain\r\nlines", ansi, true},
        {L"", ansi, true},
        {L"ascii only", utf8, true},                        // opens as ANSI: the same text
        {L"caf\u00e9", utf8, true},
        {L"\uFEFF" L"abc", le, true},
        {L"a\nb", FileFormat{Encoding::Ansi, false, LineEnd::Lf}, true},
    };
    for (const auto& c : cases) {
        const std::string text = U8(c.text);
        EXPECT_EQ(docfile::ReadsBack(text, Encode(text, c.format), c.format), c.same)
            << docfile::FormatName(c.format) << " " << c.text.size();
        EXPECT_TRUE(docfile::ReadsBack(text, Encode(text, utf8Bom), utf8Bom)) << c.text.size();
        EXPECT_EQ(Decode(Encode(text, utf8Bom)).text, docfile::WithFinalLineEnd(text, LineEnd::CrLf));
    }
}

TEST(Encodings, CharactersTheEncodingLacks) {
    const std::wstring cyr = L"abc \u0416\u4e2d";
    const struct {
        std::string text;
        Encoding encoding;
        bool unstorable;
    } cases[] = {
        {U8(cyr), Encoding::Ansi, true},
        {U8(cyr), Encoding::Utf8, false},
        {U8(cyr), Encoding::Utf16Le, false},
        {U8(L"caf\u00e9"), Encoding::Ansi, false},
        {U8(L"\xD83D\xDE00"), Encoding::Utf8, false},
        {"a\xFF" "b", Encoding::Utf8, true},  // bytes that are not UTF-8 are never written as UTF-8
    };
    for (const auto& c : cases) {
        bool unstorable = !c.unstorable;
        Encode(c.text, FileFormat{c.encoding}, &unstorable);
        EXPECT_EQ(unstorable, c.unstorable) << c.text << " " << static_cast<int>(c.encoding);
    }
}

TEST(LineEnds, EveryStyleAndMixtureStaysAsItIs) {
    // The file's own line ends, mixed ones and lone CRs included, are held and saved as they are;
    // the style most lines use ends the last line when it has no line end.
    const struct {
        const char* file;
        LineEnd style;
        const char* saved;
    } rows[] = {
        {"a\nb\n", LineEnd::Lf, "a\nb\n"},
        {"a\nb", LineEnd::Lf, "a\nb\n"},
        {"a\r\nb\r\n", LineEnd::CrLf, "a\r\nb\r\n"},
        {"a\rb\rc", LineEnd::Cr, "a\rb\rc\r"},
        {"a\rb\r", LineEnd::Cr, "a\rb\r"},
        {"\r\na\nb", LineEnd::CrLf, "\r\na\nb\r\n"},  // a blank first line
        {"a\rb\r\n", LineEnd::CrLf, "a\rb\r\n"},
        {"a\r\r\nb\r\n", LineEnd::CrLf, "a\r\r\nb\r\n"},
        {"a\r\nb\nc\r\n", LineEnd::CrLf, "a\r\nb\nc\r\n"},
        {"a\nb\nc\r\nd", LineEnd::Lf, "a\nb\nc\r\nd\n"},
        {"one line", LineEnd::CrLf, "one line\r\n"},
        {"", LineEnd::CrLf, "\r\n"},
    };
    for (const auto& r : rows) {
        const docfile::Decoded d = Decode(r.file);
        EXPECT_EQ(d.text, r.file);
        EXPECT_EQ(d.format.lineEnd, r.style) << r.file;
        EXPECT_FALSE(d.changes.Any()) << r.file;  // the final line end saving adds is no change to ask about
        EXPECT_EQ(Encode(d.text, d.format), r.saved) << r.file;
    }
    // A text that ends on a CR whose LF lies past its end (a part of a larger buffer): a lone CR.
    EXPECT_EQ(docfile::CountLineEnds(std::string_view("a\r\n").substr(0, 2)).cr, 1u);
    // UTF-16 files keep LF too.
    EXPECT_EQ(RoundTrip(std::string("\xFF\xFE" "a\0\n\0", 6)), std::string("\xFF\xFE" "a\0\n\0", 6));
    // Text put into a document takes its line ends.
    EXPECT_EQ(docfile::WithLineEnds(L"a\r\nb\rc\nd", LineEnd::Lf), L"a\nb\nc\nd");
    EXPECT_EQ(docfile::WithLineEnds(L"a\nb\r\r\n", LineEnd::CrLf), L"a\r\nb\r\n\r\n");
}

TEST(BinaryData, NulBytesAreSaidAndKept) {
    const std::string bin("ab\0cd\r\n", 7);
    const docfile::Decoded d = Decode(bin);
    EXPECT_TRUE(d.binary);
    EXPECT_FALSE(d.changes.Any());
    EXPECT_EQ(d.text, bin);
    EXPECT_EQ(Encode(d.text, d.format), bin);
    EXPECT_FALSE(Decode("abc\r\n").binary);
    const docfile::Decoded wide = Decode(std::string("\xFF\xFE" "a\0\0\0", 6));
    EXPECT_TRUE(wide.binary);
    EXPECT_EQ(Encode(wide.text, wide.format), std::string("\xFF\xFE" "a\0\0\0\r\0\n\0", 10));
}

TEST(BinaryData, EveryByteSurvivesTheAnsiRoundTrip) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    all += "\r\n";
    const docfile::Decoded d = Decode(all);
    ASSERT_EQ(d.format.encoding, Encoding::Ansi);
    EXPECT_EQ(Encode(d.text, d.format), all);
}

TEST(Encodings, ReopenedInAChosenEncodingAndWhatItCannotDecodeIsSaid) {
    struct Row {
        std::string bytes;
        Encoding as;
        std::string text;
        bool bom, otherBytes;
    } rows[] = {
        {std::string("\xFF\xFEh\0i\0", 6), Encoding::Utf16Le, "hi", true, false},
        {std::string("h\0i\0", 4), Encoding::Utf16Le, "hi", false, false},
        {std::string("\xFF\xFEh\0", 4), Encoding::Utf16Be, U8(L"\xFFFE\x6800"), false, false},  // the other order's mark is text
        {"caf\xE9", Encoding::Utf8, U8(L"caf\xFFFD"), false, true},  // the decoder's replacement
        {kUtf8Bom + "hi", Encoding::Ansi, U8(L"\x00EF\x00BB\x00BFhi"), false, false},
        {"dir\r\n", Encoding::Oem, "dir\r\n", false, false},
    };
    for (const Row& r : rows) {
        const docfile::Decoded d = docfile::DecodeAs(r.bytes, r.as);
        EXPECT_EQ(d.text, r.text) << r.bytes;
        EXPECT_EQ(d.format.encoding, r.as);
        EXPECT_EQ(d.format.bom, r.bom) << r.bytes;
        EXPECT_EQ(d.changes.otherBytes, r.otherBytes) << r.bytes;
    }
    EXPECT_EQ(Encode("dir", FileFormat{Encoding::Oem}), "dir\r\n");
}

TEST(LineEnds, TheStatusBarsNameAndTheSaveAsList) {
    using textformat::Ends;
    struct Row {
        const char* text;
        LineEnd style;
        Ends want;
    } rows[] = {
        {"a\r\nb\r\n", LineEnd::Lf, Ends::CrLf}, {"a\nb", LineEnd::CrLf, Ends::Lf}, {"a\rb", LineEnd::CrLf, Ends::Cr},
        {"a\r\nb\n", LineEnd::CrLf, Ends::Mixed}, {"a\r\r\n", LineEnd::CrLf, Ends::Mixed},  // a CR and a CR LF
        {"", LineEnd::Lf, Ends::Lf}, {"one line", LineEnd::Cr, Ends::Cr},  // none: the document's style
    };
    for (const Row& r : rows) EXPECT_EQ(textformat::EndsOf(r.text, r.style), r.want) << r.text;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(textformat::SaveChoiceOf(textformat::SaveChoice(i, LineEnd::Lf)), i);
    EXPECT_EQ(textformat::SaveChoiceOf(FileFormat{Encoding::Utf16Le, false}), 3);
    EXPECT_EQ(textformat::SaveChoiceOf(FileFormat{Encoding::Oem}), -1);  // kept unless another is chosen
}

namespace {

// The bytes through a Decoder: the first `cut` bytes, then pieces of `step`; decoded again as ANSI
// when the decoder says so.
docfile::Decoded InPieces(const std::string& bytes, size_t cut, size_t step, const Encoding* as = nullptr) {
    std::string text;
    docfile::Decoder d([&](std::string_view t) { return text.append(t), true; }, as);
    auto s = d.Add(std::string_view(bytes).substr(0, cut));
    for (size_t at = cut; at < bytes.size() && s == docfile::Decoder::Step::Go; at += step)
        s = d.Add(std::string_view(bytes).substr(at, step));
    if (s == docfile::Decoder::Step::Go) s = d.Finish();
    if (s == docfile::Decoder::Step::Again) {
        constexpr Encoding ansi = Encoding::Ansi;
        return InPieces(bytes, cut, step, &ansi);
    }
    docfile::Decoded r = d.Result();
    r.text = text;
    return r;
}

}  // namespace

TEST(Decoder, PiecesCutAnywhereDecodeAsTheWhole) {
    const std::string files[] = {
        "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\nx\r\n",             // every sequence length
        kUtf8Bom + "a\xFF\xE2\x82 b\xF0\x9F\r\n",                          // marked, invalid and cut
        "\xC3\xA9t\xC3\xA9 then \xE9\r\n",                                 // UTF-8 until a Latin byte
        "ascii then caf\xE9\n\xE2\x82\xAC",                                // ANSI after ASCII
        std::string("\xFF\xFE" "a\0\x3D\xD8\x00\xDE\r\0\n\0\x3D\xD8", 14),  // surrogates, one alone
        std::string("\xFE\xFF\0a\xD8\x3D\xDE\x00\0\r", 11),                 // big-endian, half a unit
        std::string("a\r\r\nb\0c\r", 8),                                   // CR CR LF, NUL, lone CR
        "\xEF\xBB",                                                        // half a mark
    };
    for (const std::string& f : files) {
        const docfile::Decoded whole = Decode(f);
        for (size_t step : {1u, 2u, 3u}) {
            for (size_t cut = 0; cut <= f.size(); ++cut) {
                const docfile::Decoded d = InPieces(f, cut, step);
                ASSERT_EQ(d.text, whole.text) << f << " cut " << cut << " step " << step;
                EXPECT_EQ(d.format, whole.format) << f << " cut " << cut;
                EXPECT_EQ(d.changes.otherBytes, whole.changes.otherBytes) << f << " cut " << cut;
                EXPECT_EQ(d.binary, whole.binary) << f << " cut " << cut;
            }
        }
    }
    // Long texts take the 16-byte steps: a sequence cut or invalid past them, and every line end.
    const std::string run(70, 'x');
    const struct {
        std::string text;
        size_t valid;
        bool cut, high;
    } checks[] = {
        {run + "\xE2\x82", 70, true, false}, {run + "\xE2\x28\xA1", 70, false, false},
        {run + "\xC3\xA9" + run, 142, false, true}, {run + "\xED\xA0\x80", 70, false, false},
        {run + "\xF4\x90\x80\x80", 70, false, false}, {"\xC3\xA9\xC0\xAF", 2, false, true},
    };
    for (const auto& c : checks) {
        const Utf8Check u = CheckUtf8(c.text);
        EXPECT_EQ(u.valid, c.valid) << c.text;
        EXPECT_EQ(u.cut, c.cut) << c.text;
        EXPECT_EQ(u.high, c.high) << c.text;
    }
    for (size_t shift = 0; shift < 18; ++shift) {
        std::string text = std::string(shift, 'x');
        for (int i = 0; i < 100; ++i) text += "ab\r\n";
        text += std::string(50, '\r') + std::string(30, '\n') + "tail";
        const docfile::LineEndCounts n = docfile::CountLineEnds(text);
        EXPECT_EQ(n.crlf, 101u) << shift;
        EXPECT_EQ(n.cr, 49u) << shift;
        EXPECT_EQ(n.lf, 29u) << shift;
        EXPECT_FALSE(Decode(text).binary);
        text[shift + 200] = '\0';
        EXPECT_TRUE(Decode(text).binary) << shift;
    }
}
