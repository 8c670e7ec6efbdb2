// Document files as bytes: detection, decoding to the editing area's text and encoding back.
#include <gtest/gtest.h>

#include <string>

#include "DocumentStore.h"
#include "LineEnds.h"
#include "FileEncoding.h"

using docfile::Decode;
using docfile::Encode;
using docfile::Encoding;
using docfile::FileFormat;
using docfile::LineEnd;

namespace {

// Decodes and encodes the unchanged text again.
std::string RoundTrip(const std::string& bytes) {
    const docfile::Decoded d = Decode(bytes);
    return Encode(d.text, d.format);
}

const std::string kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

TEST(Encodings, MarksWinOverContent) {
    EXPECT_EQ(docfile::DetectEncoding(kUtf8Bom + "abc"), (FileFormat{Encoding::Utf8, true}));
    EXPECT_EQ(docfile::DetectEncoding(std::string("\xFF\xFE" "a\0", 4)), (FileFormat{Encoding::Utf16Le, true}));
    EXPECT_EQ(docfile::DetectEncoding(std::string("\xFE\xFF\0a", 4)), (FileFormat{Encoding::Utf16Be, true}));
    // A mark and nothing else.
    EXPECT_EQ(docfile::DetectEncoding(kUtf8Bom), (FileFormat{Encoding::Utf8, true}));
    EXPECT_EQ(docfile::DetectEncoding("\xFF\xFE"), (FileFormat{Encoding::Utf16Le, true}));
}

TEST(Encodings, Utf8OnlyWhenValidWithAMultiByteSequence) {
    EXPECT_EQ(docfile::DetectEncoding("plain ascii\r\n").encoding, Encoding::Ansi);
    EXPECT_EQ(docfile::DetectEncoding("caf\xC3\xA9").encoding, Encoding::Utf8);
    EXPECT_EQ(docfile::DetectEncoding("caf\xE9").encoding, Encoding::Ansi);            // Latin byte
    EXPECT_EQ(docfile::DetectEncoding("\xC3\xA9 and \xE9").encoding, Encoding::Ansi);  // one bad byte spoils it
    EXPECT_EQ(docfile::DetectEncoding("\xC0\xAF").encoding, Encoding::Ansi);           // overlong
    EXPECT_EQ(docfile::DetectEncoding("\xED\xA0\x80").encoding, Encoding::Ansi);       // encoded surrogate
    EXPECT_EQ(docfile::DetectEncoding("\xF0\x9F\x98\x80").encoding, Encoding::Utf8);   // 4 bytes
    EXPECT_EQ(docfile::DetectEncoding("").encoding, Encoding::Ansi);
}

TEST(Encodings, DecodesEachEncodingAndSavesItBackIdentical) {
    const std::string utf8 = "// caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\nint x;\r\n";
    docfile::Decoded d = Decode(utf8);
    EXPECT_EQ(d.format, (FileFormat{Encoding::Utf8, false, LineEnd::CrLf}));
    EXPECT_EQ(d.text, std::wstring(L"// caf\u00e9 \u20ac \xD83D\xDE00\r\nint x;\r\n"));
    EXPECT_FALSE(d.changes.Any());
    EXPECT_EQ(Encode(d.text, d.format), utf8);
    EXPECT_EQ(RoundTrip(kUtf8Bom + utf8), kUtf8Bom + utf8);

    // UTF-16 both ways round, with a surrogate pair.
    const std::string le("\xFF\xFE" "a\0\x3D\xD8\x00\xDE\r\0\n\0", 12);
    d = Decode(le);
    EXPECT_EQ(d.format.encoding, Encoding::Utf16Le);
    EXPECT_EQ(d.text, std::wstring(L"a\xD83D\xDE00\r\n"));
    EXPECT_FALSE(d.changes.Any());
    EXPECT_EQ(Encode(d.text, d.format), le);
    const std::string be("\xFE\xFF\0a\xD8\x3D\xDE\x00\0\r\0\n", 12);
    d = Decode(be);
    EXPECT_EQ(d.format.encoding, Encoding::Utf16Be);
    EXPECT_EQ(d.text, std::wstring(L"a\xD83D\xDE00\r\n"));
    EXPECT_EQ(Encode(d.text, d.format), be);

    // 8-bit text with a byte above 127 that is not UTF-8.
    const std::string ansi = "caf\xE9\r\n";
    d = Decode(ansi);
    EXPECT_EQ(d.format.encoding, Encoding::Ansi);
    EXPECT_EQ(d.text, L"caf\u00e9\r\n");
    EXPECT_EQ(Encode(d.text, d.format), ansi);
}

TEST(Encodings, InvalidOrCutSequencesAreReported) {
    // A UTF-8 mark before bytes that are not UTF-8: decoded with replacements, and said so.
    docfile::Decoded d = Decode(kUtf8Bom + "a\xFF" "b\r\n");
    EXPECT_EQ(d.format.encoding, Encoding::Utf8);
    EXPECT_TRUE(d.changes.otherBytes);
    EXPECT_EQ(d.text, L"a\uFFFDb\r\n");
    // UTF-16 with half a code unit at the end.
    d = Decode(std::string("\xFF\xFE" "a\0b", 5));
    EXPECT_TRUE(d.changes.otherBytes);
    // A mark and no content saves as the mark and the line end of a new line.
    d = Decode(kUtf8Bom);
    EXPECT_EQ(d.text, L"");
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
        {L"a\r\nb", FileFormat{Encoding::Ansi, false, LineEnd::Lf}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(docfile::ReadsBack(c.text, Encode(c.text, c.format), c.format), c.same)
            << docfile::FormatName(c.format) << " " << c.text.size();
        EXPECT_TRUE(docfile::ReadsBack(c.text, Encode(c.text, utf8Bom), utf8Bom)) << c.text.size();
        EXPECT_EQ(Decode(Encode(c.text, utf8Bom)).text, docfile::ToCrLf(docfile::WithFinalLineEnd(c.text)));
    }
}

TEST(Encodings, CharactersTheEncodingLacks) {
    const std::wstring cyr = L"abc \u0416\u4e2d";
    // Surrogate pairs are fine in UTF-8; a lone half is not (it would be written as U+FFFD).
    const struct {
        std::wstring text;
        Encoding encoding;
        bool unstorable;
    } cases[] = {
        {cyr, Encoding::Ansi, true},
        {cyr, Encoding::Utf8, false},
        {cyr, Encoding::Utf16Le, false},
        {L"caf\u00e9", Encoding::Ansi, false},
        {std::wstring(L"\xD83D\xDE00"), Encoding::Utf8, false},
        {std::wstring(L"a\xD83D" L"b"), Encoding::Utf8, true},
        {std::wstring(L"\xDE00"), Encoding::Utf8, true},
        {std::wstring(L"\xDE00"), Encoding::Utf16Be, false},
    };
    for (const auto& c : cases) {
        bool unstorable = !c.unstorable;
        Encode(c.text, FileFormat{c.encoding}, &unstorable);
        EXPECT_EQ(unstorable, c.unstorable) << c.text.size() << " " << static_cast<int>(c.encoding);
    }
}

TEST(LineEnds, LfFilesStayLfAndCrLfFilesCrLf) {
    docfile::Decoded d = Decode("a\nb\n");
    EXPECT_EQ(d.format.lineEnd, LineEnd::Lf);
    EXPECT_EQ(d.text, L"a\r\nb\r\n");  // as the editing area holds it
    EXPECT_FALSE(d.changes.Any());
    EXPECT_EQ(Encode(d.text, d.format), "a\nb\n");
    EXPECT_EQ(Encode(d.text + L"c", d.format), "a\nb\nc\n");  // the added final line end is LF too
    EXPECT_EQ(RoundTrip("a\r\nb\r\n"), "a\r\nb\r\n");
    // New documents, and files without any line end, use CR LF.
    EXPECT_EQ(Encode(L"x\r\ny", FileFormat{}), "x\r\ny\r\n");
    d = Decode("one line");
    EXPECT_EQ(d.format.lineEnd, LineEnd::CrLf);
    EXPECT_FALSE(d.changes.lineEnds);
    // UTF-16 files keep LF too.
    EXPECT_EQ(RoundTrip(std::string("\xFF\xFE" "a\0\n\0", 6)), std::string("\xFF\xFE" "a\0\n\0", 6));
}

TEST(LineEnds, TheFinalLineEndSavingAddsIsNoChangeToReport) {
    // Saving writes the text followed by CR LF (or LF): by design, not a change to ask about.
    for (const char* s : {"one line", "a\r\nb", "a\nb", "", "\xEF\xBB\xBF" "x"}) {
        const docfile::Decoded d = Decode(s);
        EXPECT_FALSE(d.changes.Any()) << s;
    }
    // What really changes still counts without a final line end.
    EXPECT_TRUE(Decode("a\rb").changes.Any());
    EXPECT_TRUE(Decode(std::string("a\0b", 3)).changes.Any());
}

TEST(LineEnds, WhatTheControlWouldRewriteIsReported) {
    // Lone CR, CR CR LF and mixtures come back as one style: the user must be told.
    for (const char* s : {"a\rb\r\n", "a\r\r\nb\r\n", "a\r\nb\nc\r\n", "a\nb\rc\n"}) {
        const docfile::Decoded d = Decode(s);
        EXPECT_TRUE(d.changes.lineEnds) << s;
        EXPECT_NE(Encode(d.text, d.format), s) << s;
    }
    // CR CR LF is two line ends, not one blank.
    EXPECT_EQ(Decode("a\r\r\nb").text, L"a\r\n\r\nb");
    EXPECT_EQ(Decode("a\rb").text, L"a\r\nb");
    // Mostly LF with a stray CR LF: saved as LF.
    EXPECT_EQ(Decode("a\nb\nc\r\n").format.lineEnd, LineEnd::Lf);
}

TEST(BinaryData, NulBytesAreReported) {
    const std::string bin("ab\0cd\r\n", 7);
    const docfile::Decoded d = Decode(bin);
    EXPECT_TRUE(d.changes.nul);
    EXPECT_EQ(d.text.size(), 7u);  // nothing dropped on the way in
    EXPECT_EQ(Encode(d.text, d.format), bin);
    EXPECT_FALSE(Decode("abc\r\n").changes.nul);
    EXPECT_TRUE(Decode(std::string("\xFF\xFE" "a\0\0\0", 6)).changes.nul);
}

TEST(BinaryData, EveryByteSurvivesTheAnsiRoundTrip) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        if (c != '\r' && c != '\n' && c != 0) all += static_cast<char>(c);
    all += "\r\n";
    const docfile::Decoded d = Decode(all);
    ASSERT_EQ(d.format.encoding, Encoding::Ansi);
    EXPECT_EQ(Encode(d.text, d.format), all);
}

TEST(BinaryData, LongTextsRoundTripWithMixedContent) {
    std::string big;
    for (int i = 0; i < 20000; ++i) big += "line " + std::to_string(i) + " \xC3\xA9\xE2\x82\xAC\n";
    EXPECT_EQ(RoundTrip(big), big);
    EXPECT_EQ(Decode(big).format, (FileFormat{Encoding::Utf8, false, LineEnd::Lf}));
}

TEST(DocumentFileRules, PiecesNeverSplitASurrogatePair) {
    const std::wstring t = L"ab\xD83D\xDE00";
    EXPECT_EQ(docfile::ChunkLength(t.data(), 3, false), 2u);
    EXPECT_EQ(docfile::ChunkLength(t.data(), 4, true), 4u);
}

TEST(DocumentFileRules, SizeText) {
    EXPECT_EQ(docfile::SizeText(0), L"0 bytes");
    EXPECT_EQ(docfile::SizeText(1023), L"1023 bytes");
    EXPECT_EQ(docfile::SizeText(300 * 1024), L"300 KB");
    EXPECT_EQ(docfile::SizeText(1536 * 1024), L"1.5 MB");
    EXPECT_EQ(docfile::SizeText(10ull * 1024 * 1024), L"10.0 MB");
}
