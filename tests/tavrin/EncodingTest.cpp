// Document files as bytes: detection, decoding to the editing area's text and encoding back.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "DocumentStore.h"
#include "LineEnds.h"
#include "FileEncoding.h"
#include "TextConv.h"
#include "TextFormat.h"
#include "../support/DecodeInPieces.h"

using docfile::Decode;
using docfile::Encode;
using docfile::Encoding;
using docfile::FileFormat;
using docfile::LineEnd;

namespace {

std::string U8(std::wstring_view w) { return WideToUtf8(w); }

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
        {"\xDF\xBF", u8},  // U+07FF, the last of two bytes
    };
    for (const auto& [bytes, format] : rows) EXPECT_EQ(docfile::DetectEncoding(bytes), format) << bytes;
}

// Each encoding decoded to the area's text and saved back as it was; a mark alone and binary data
// gain only the final line end, bytes that are not text are said and replaced.
TEST(Encodings, DecodedAndSavedBackAsTheyWere) {
    const std::string utf8 = "// caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\nint x;\r\n", lf("\xFF\xFE" "a\0\n\0", 6);
    std::string all;  // every byte but NUL
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    all += "\r\n";
    const struct {
        std::string bytes;
        Encoding encoding;
        std::optional<std::string> text;
        std::string saved;  // empty: the bytes themselves
        bool otherBytes, binary;
    } rows[] = {
        {utf8, Encoding::Utf8, utf8},  // its own text, taken as it is
        {kUtf8Bom + utf8, Encoding::Utf8, utf8},
        {std::string("\xFF\xFE" "a\0\x3D\xD8\x00\xDE\r\0\n\0", 12), Encoding::Utf16Le, U8(L"a\xD83D\xDE00\r\n")},
        {std::string("\xFE\xFF\0a\xD8\x3D\xDE\x00\0\r\0\n", 12), Encoding::Utf16Be, U8(L"a\xD83D\xDE00\r\n")},
        {lf, Encoding::Utf16Le, "a\n"},  // UTF-16 keeps LF too
        {"caf\xE9\r\n", Encoding::Ansi, U8(L"caf\u00e9\r\n")},
        {"x\ncaf\xE9", Encoding::Ansi, U8(L"x\ncaf\u00e9"), "x\ncaf\xE9\n"},  // the last line without its end
        {all, Encoding::Ansi, std::nullopt},
        {kUtf8Bom, Encoding::Utf8, "", kUtf8Bom + "\r\n"},
        {"\xFF\xFE", Encoding::Utf16Le, "", std::string("\xFF\xFE\r\0\n\0", 6)},
        {kUtf8Bom + "a\xFF" "b\r\n", Encoding::Utf8, U8(L"a\uFFFDb\r\n"), kUtf8Bom + U8(L"a\uFFFDb\r\n"), true},
        {std::string("ab\0cd\r\n", 7), Encoding::Ansi, std::string("ab\0cd\r\n", 7), "", false, true},
        {std::string("\xFF\xFE" "a\0\0\0", 6), Encoding::Utf16Le, std::string("a\0", 2),
         std::string("\xFF\xFE" "a\0\0\0\r\0\n\0", 10), false, true},
    };
    for (const auto& r : rows) {
        const docfile::Decoded d = Decode(r.bytes);
        EXPECT_EQ(d.text, r.text.value_or(d.text)) << r.bytes;
        EXPECT_EQ(std::tuple(d.format.encoding, d.changes.otherBytes, d.binary, Encode(d.text, d.format)),
                  std::tuple(r.encoding, r.otherBytes, r.binary, r.saved.empty() ? r.bytes : r.saved)) << r.bytes;
    }
    // UTF-16 with half a code unit at the end, or either half of a surrogate pair alone.
    for (const std::string& cut : {std::string("\xFF\xFE" "a\0b", 5), std::string("\xFF\xFE" "a\0\x3D\xD8", 6),
                                   std::string("\xFF\xFE" "a\0\x00\xDC", 6), std::string("\xFF\xFE" "a\0\xFF\xDF", 6)})
        EXPECT_TRUE(Decode(cut).changes.otherBytes) << cut.size();
}

// Characters the encoding lacks, and text that would open as other text, are found before saving.
TEST(Encodings, TextThatWouldOpenAsOtherTextOrThatTheEncodingLacks) {
    // What opening the bytes again gives decides; UTF-8 with its mark always reads back.
    const FileFormat ansi{}, utf8{Encoding::Utf8}, utf8Bom{Encoding::Utf8, true}, le{Encoding::Utf16Le, true};
    const struct {
        std::wstring text;
        FileFormat format;
        bool same, unstorable = false;
    } cases[] = {
        {L"\u00c3\u00a9t\u00c3\u00a9", ansi, false},      // C3 A9 74 C3 A9: valid UTF-8, opens as "\u00e9t\u00e9"
        {L"\u00ef\u00bb\u00bf" L"abc", ansi, false},       // EF BB BF: a UTF-8 mark
        {L"\u00ff\u00fe" L"ab", ansi, false},               // FF FE: a UTF-16 LE mark
        {L"\u00fe\u00ff" L"ab", ansi, false},               // FE FF: a UTF-16 BE mark
        {L"\uFEFF" L"abc", utf8, false},                    // U+FEFF first, written without a mark
        {L"caf\u00e9 \u00c3", ansi, true},                  // not valid UTF-8 as bytes
        {L"x \u00ef\u00bb\u00bf", ansi, false},             // EF BB BF later: valid UTF-8 all the same
        {L"plain\r\nlines", ansi, true}, {L"", ansi, true}, {L"caf\u00e9", utf8, true}, {L"\uFEFF" L"abc", le, true},
        {L"ascii only", utf8, true},  // opens as ANSI: the same text
        {L"a\nb", FileFormat{Encoding::Ansi, false, LineEnd::Lf}, true},
        {L"abc \u0416\u4e2d", ansi, true, true}, {L"abc \u0416\u4e2d", utf8, true}, {L"abc \u0416\u4e2d", le, true},
        {L"\xD83D\xDE00", utf8, true},
    };
    for (const auto& c : cases) {
        const std::string text = U8(c.text);
        bool unstorable = !c.unstorable;
        const std::string bytes = Encode(text, c.format, &unstorable);
        EXPECT_EQ(std::pair(docfile::ReadsBack(text, bytes, c.format), unstorable), std::pair(c.same, c.unstorable))
            << docfile::FormatName(c.format) << " " << c.text.size();
        EXPECT_TRUE(docfile::ReadsBack(text, Encode(text, utf8Bom), utf8Bom)) << c.text.size();
        EXPECT_EQ(Decode(Encode(text, utf8Bom)).text, docfile::WithFinalLineEnd(text, LineEnd::CrLf));
    }
    bool unstorable = false;  // bytes that are not UTF-8 are never written as UTF-8
    Encode("a\xFF" "b", FileFormat{Encoding::Utf8}, &unstorable);
    EXPECT_TRUE(unstorable);
}

TEST(LineEnds, EveryStyleAndMixtureStaysAsItIsAndIsNamedInTheStatusBarAndSaveAs) {
    // The file's own line ends, mixed ones and lone CRs included, are held and saved as they are;
    // the style most lines use ends the last line when it has no line end.
    const std::tuple<const char*, LineEnd, const char*> rows[] = {
        {"a\nb\n", LineEnd::Lf, "a\nb\n"},           {"a\nb", LineEnd::Lf, "a\nb\n"},
        {"a\r\nb\r\n", LineEnd::CrLf, "a\r\nb\r\n"},   {"a\rb\rc", LineEnd::Cr, "a\rb\rc\r"},
        {"a\rb\r", LineEnd::Cr, "a\rb\r"},           {"\r\na\nb", LineEnd::CrLf, "\r\na\nb\r\n"},  // a blank first line
        {"a\rb\r\n", LineEnd::CrLf, "a\rb\r\n"},     {"a\r\r\nb\r\n", LineEnd::CrLf, "a\r\r\nb\r\n"},
        {"a\r\nb\nc\r\n", LineEnd::CrLf, "a\r\nb\nc\r\n"}, {"a\nb\nc\r\nd", LineEnd::Lf, "a\nb\nc\r\nd\n"},
        {"one line", LineEnd::CrLf, "one line\r\n"}, {"", LineEnd::CrLf, "\r\n"},
    };
    for (const auto& [file, style, saved] : rows) {
        const docfile::Decoded d = Decode(file);
        // The final line end saving adds is no change to ask about.
        EXPECT_EQ(std::tuple(d.text, d.format.lineEnd, d.changes.Any(), Encode(d.text, d.format)),
                  std::tuple(std::string(file), style, false, std::string(saved))) << file;
    }
    // A text that ends on a CR whose LF lies past its end (a part of a larger buffer): a lone CR.
    EXPECT_EQ(docfile::CountLineEnds(std::string_view("a\r\n").substr(0, 2)).cr, 1u);
    // Text put into a document takes its line ends.
    EXPECT_EQ(docfile::WithLineEnds(L"a\r\nb\rc\nd", LineEnd::Lf), L"a\nb\nc\nd");
    EXPECT_EQ(docfile::WithLineEnds(L"a\nb\r\r\n", LineEnd::CrLf), L"a\r\nb\r\n\r\n");
    // The status bar's name and the Save As list.
    using textformat::Ends;
    const std::tuple<const char*, LineEnd, Ends> named[] = {
        {"a\r\nb\r\n", LineEnd::Lf, Ends::CrLf}, {"a\nb", LineEnd::CrLf, Ends::Lf}, {"a\rb", LineEnd::CrLf, Ends::Cr},
        {"a\r\nb\n", LineEnd::CrLf, Ends::Mixed}, {"a\r\r\n", LineEnd::CrLf, Ends::Mixed},  // a CR and a CR LF
        {"", LineEnd::Lf, Ends::Lf}, {"one line", LineEnd::Cr, Ends::Cr},  // none: the document's style
    };
    for (const auto& [text, style, want] : named) EXPECT_EQ(textformat::EndsOf(text, style), want) << text;
    EXPECT_EQ(textformat::EndsOf(HeldText("a\r", "\nb\r\n"), LineEnd::Lf), Ends::CrLf);  // a CR LF the gap splits
    for (int i = 0; i < 5; ++i) EXPECT_EQ(textformat::SaveChoiceOf(textformat::SaveChoice(i, LineEnd::Lf)), i);
    EXPECT_EQ(textformat::SaveChoiceOf(FileFormat{Encoding::Utf16Le, false}), 3);
    EXPECT_EQ(textformat::SaveChoiceOf(FileFormat{Encoding::Oem}), -1);  // kept unless another is chosen
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
        EXPECT_EQ(std::tuple(d.text, d.format.encoding, d.format.bom, d.changes.otherBytes),
                  std::tuple(r.text, r.as, r.bom, r.otherBytes)) << r.bytes;
    }
    EXPECT_EQ(Encode("dir", FileFormat{Encoding::Oem}), "dir\r\n");
}

TEST(Decoder, PiecesCutAnywhereDecodeAsTheWhole) {
    const std::string files[] = {
        "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\nx\r\n",             // every sequence length
        kUtf8Bom + "a\xFF\xE2\x82 b\xF0\x9F\r\n",                          // marked, invalid and cut
        kUtf8Bom + "\xFF \xC2\xA9 \xF4\x8F\xBF\xBF \xE2\x82\xAC\n",           // invalid, then whole sequences
        "\xC3\xA9t\xC3\xA9 then \xE9\r\n",                                 // UTF-8 until a Latin byte
        "ascii then caf\xE9\n\xE2\x82\xAC",                                // ANSI after ASCII
        std::string("\xFF\xFE" "a\0\x3D\xD8\x00\xDE\r\0\n\0\x3D\xD8", 14),  // surrogates, one alone
        std::string("\xFE\xFF\0a\xD8\x3D\xDE\x00\0\r", 11),                 // big-endian, half a unit
        std::string("a\r\r\nb\0c\r", 8),                                   // CR CR LF, NUL, lone CR
        "\xEF\xBB",                                                        // half a mark
    };
    for (const std::string& f : files) {
        const docfile::Decoded whole = Decode(f);
        EXPECT_TRUE(whole.ends == docfile::CountLineEnds(whole.text)) << f;  // the status bar takes them
        for (size_t step : {1u, 2u, 3u}) {
            for (size_t cut = 0; cut <= f.size(); ++cut) {
                const docfile::Decoded d = InPieces(f, cut, step);
                ASSERT_EQ(d.text, whole.text) << f << " cut " << cut << " step " << step;
                EXPECT_TRUE(d.format == whole.format && d.changes.otherBytes == whole.changes.otherBytes &&
                            d.binary == whole.binary && d.ends == whole.ends) << f << " cut " << cut;
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
        EXPECT_EQ(std::tuple(u.valid, u.cut, u.high), std::tuple(c.valid, c.cut, c.high)) << c.text;
    }
    for (size_t shift = 0; shift < 18; ++shift) {
        std::string text = std::string(shift, 'x');
        for (int i = 0; i < 100; ++i) text += "ab\r\n";
        text += std::string(50, '\r') + std::string(30, '\n') + "tail";
        const docfile::LineEndCounts n = docfile::CountLineEnds(text);
        EXPECT_EQ(std::tuple(n.crlf, n.cr, n.lf), std::tuple(size_t{101}, size_t{49}, size_t{29})) << shift;
        EXPECT_FALSE(Decode(text).binary);
        text[shift + 200] = '\0';
        EXPECT_TRUE(Decode(text).binary) << shift;
    }
}
