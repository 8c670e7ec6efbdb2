// A build's output: lines cut from pipe chunks, decoded, and the compilers' diagnostics read.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "BuildOutput.h"
#include "FileEncoding.h"
#include "TextConv.h"
#include "Texts.h"

namespace {

std::vector<std::string> Split(const std::vector<std::string>& chunks) {
    LineSplitter s;
    std::vector<std::string> lines;
    for (const std::string& c : chunks) s.Add(c, lines);
    s.Finish(lines);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineSplitter, LineEndsOfEveryKindWhereverTheChunksFall) {
    struct Row {
        std::string bytes;
        Lines expected;
    } rows[] = {
        {"one\r\ntwo\r\n", {"one", "two"}},
        {"one\ntwo\n", {"one", "two"}},
        {"one\r\n\r\nthree\n", {"one", "", "three"}},
        {"no end", {"no end"}},
        {"a\rb\r\n", {"ab"}},          // a lone CR inside a line vanishes
        {"done\r\r\n", {"done"}},      // CR CR LF (text mode over text mode) is one line end
        {"\xC3\xBC ok\r\n\x81 oem\n", {"\xC3\xBC ok", "\x81 oem"}},
        {"", {}},
        {"\r\n", {""}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Split({r.bytes}), r.expected) << r.bytes;
        // Every place of one cut, then one byte at a time.
        for (size_t cut = 0; cut <= r.bytes.size(); ++cut)
            EXPECT_EQ(Split({r.bytes.substr(0, cut), r.bytes.substr(cut)}), r.expected) << r.bytes << " cut " << cut;
        Lines bytes;
        for (char c : r.bytes) bytes.push_back(std::string(1, c));
        EXPECT_EQ(Split(bytes), r.expected) << r.bytes;
    }
}

TEST(LineSplitter, LinesComeOutAsSoonAsTheirEndArrives) {
    LineSplitter s;
    Lines lines;
    std::vector<size_t> counts;
    for (const char* chunk : {"first\r", "\nsec", "ond\n"}) s.Add(chunk, lines), counts.push_back(lines.size());
    s.Finish(lines);  // nothing left over
    EXPECT_EQ(counts, (std::vector<size_t>{0, 1, 2}));
    EXPECT_EQ(lines, (Lines{"first", "second"}));
}

TEST(DecodeLine, Utf8WhenValidElseTheConsoleCodePage) {
    struct Row {
        std::string bytes;
        const wchar_t* utf8;  // null: read in the code page (Latin-1 in the host build)
    } rows[] = {
        {"plain ascii", L"plain ascii"},
        {"gr\xC3\xBC\xC3\x9F \xE2\x82\xAC", L"gr\u00FC\u00DF \u20AC"},
        {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"},  // UTF-16 inside, a surrogate pair
        {"", L""},
        {"caf\xE9", nullptr},
        {"\xC3\xBC and \xFC", nullptr},  // one invalid byte: the whole line in the code page
        {"\xED\xA0\x80", nullptr},       // an encoded surrogate is not UTF-8
    };
    for (const Row& r : rows)
        EXPECT_EQ(DecodeLine(r.bytes, 850), r.utf8 ? std::wstring(r.utf8) : docfile::CodePageDecode(r.bytes, 850))
            << r.bytes;
#ifdef _WIN32
    EXPECT_EQ(DecodeLine("caf\x82 \x81", 437), L"caf\u00E9 \u00FC");
    EXPECT_EQ(DecodeLine("\x9C", 850), L"\u00A3");
#else
    EXPECT_EQ(DecodeLine("caf\xE9", 850), L"caf\u00E9");
#endif
}

struct DiagRow {
    const wchar_t* line;
    std::optional<Diagnostic> expected;
};

std::wstring Shown(const std::optional<Diagnostic>& d) {
    return d ? d->file + L"|" + std::to_wstring(d->line) + L"|" + std::to_wstring(d->column) + L"|" +
                   std::to_wstring(static_cast<int>(d->severity)) + L"|" + d->message
             : L"none";
}

void Check(const std::vector<DiagRow>& rows) {
    for (const DiagRow& r : rows) EXPECT_EQ(Shown(ParseDiagnostic(r.line)), Shown(r.expected)) << testing::PrintToString(std::wstring(r.line));
}

constexpr Severity E = Severity::Error, W = Severity::Warning, N = Severity::Note;

TEST(ParseDiagnostic, GccAndClang) {
    Check({
        {L"C:\\dir\\a.cpp:12:5: error: 'x' was not declared in this scope",
         Diagnostic{L"C:\\dir\\a.cpp", 12, 5, E, L"'x' was not declared in this scope"}},
        {L"a.cpp:3: warning: no newline at end of file", Diagnostic{L"a.cpp", 3, 0, W, L"no newline at end of file"}},
        {L"C:\\my dir\\b c.cpp:1:10: fatal error: x.h: No such file or directory",
         Diagnostic{L"C:\\my dir\\b c.cpp", 1, 10, E, L"x.h: No such file or directory"}},
        {L"..\\inc\\util.h:40:7: note: declared here", Diagnostic{L"..\\inc\\util.h", 40, 7, N, L"declared here"}},
        {L"\\\\server\\share\\x.cpp:7:1: error: expected ';' before '}' token",
         Diagnostic{L"\\\\server\\share\\x.cpp", 7, 1, E, L"expected ';' before '}' token"}},
        {L"C:/work/main.cpp:9:14: warning: unused variable 'y' [-Wunused-variable]",
         Diagnostic{L"C:/work/main.cpp", 9, 14, W, L"unused variable 'y' [-Wunused-variable]"}},
        {L"C:\\x\\a.cpp:5:3: error: no match for 'operator<<' (operand types are 'std::ostream' {aka 'a::b'})",
         Diagnostic{L"C:\\x\\a.cpp", 5, 3, E,
                    L"no match for 'operator<<' (operand types are 'std::ostream' {aka 'a::b'})"}},
        {L"C:\\x (2)\\a.cpp:8:1: error: x", Diagnostic{L"C:\\x (2)\\a.cpp", 8, 1, E, L"x"}},
        {L"caf\u00E9.cpp:2:2: error: stray '\\303' in program",
         Diagnostic{L"caf\u00E9.cpp", 2, 2, E, L"stray '\\303' in program"}},
        // Close, but nothing to jump to.
        {L"In file included from a.cpp:3:", std::nullopt},
        {L"                 from C:\\x\\b.cpp:4:", std::nullopt},
        {L"a.cpp: In function 'int main()':", std::nullopt},
        {L"collect2.exe: error: ld returned 1 exit status", std::nullopt},
        {L"g++: fatal error: no input files", std::nullopt},
        {L"C:\\mingw\\bin\\ld.exe: a.o:a.cpp:(.text+0x1f): undefined reference to `foo()'", std::nullopt},
        {L"a.cpp:12:5:   required from here", std::nullopt},
        {L"   12 |     int x", std::nullopt},
        {L"   12 |     puts(\"a.cpp:3: error: x\");", std::nullopt},
        {L"      |         ^", std::nullopt},
        {L"<command-line>:0:1: error: macro names must be identifiers", std::nullopt},
        {L"a.cpp:0: error: line zero", std::nullopt},
        {L"a.cpp:12:5: Error: capitalised is not GCC's", std::nullopt},
        {L"a.cpp:99999999999: error: too big a line", std::nullopt},
        {L"Using C:\\mingw\\bin\\g++.exe", std::nullopt},
        {L"Compiling C:\\x\\a.cpp in C:\\x", std::nullopt},
        {L"", std::nullopt},
    });
}

TEST(ParseDiagnostic, MicrosoftCpp) {
    Check({
        {L"C:\\dir\\a.cpp(12): error C2065: 'x': undeclared identifier",
         Diagnostic{L"C:\\dir\\a.cpp", 12, 0, E, L"'x': undeclared identifier"}},
        {L"C:\\dir\\a.cpp(12,5): warning C4101: 'y': unreferenced local variable",
         Diagnostic{L"C:\\dir\\a.cpp", 12, 5, W, L"'y': unreferenced local variable"}},
        {L"a.cpp(1): fatal error C1083: Cannot open include file: 'x.h': No such file or directory",
         Diagnostic{L"a.cpp", 1, 0, E, L"Cannot open include file: 'x.h': No such file or directory"}},
        {L"C:\\Program Files (x86)\\inc\\v.h(30): note: see declaration of 'v'",
         Diagnostic{L"C:\\Program Files (x86)\\inc\\v.h", 30, 0, N, L"see declaration of 'v'"}},
        {L"\\\\srv\\share\\p (1)\\m.cpp(4,1): error C2143: syntax error: missing ';' before '}'",
         Diagnostic{L"\\\\srv\\share\\p (1)\\m.cpp", 4, 1, E, L"syntax error: missing ';' before '}'"}},
        {L"a.obj : error LNK2019: unresolved external symbol foo referenced in function main", std::nullopt},
        {L"LINK : fatal error LNK1104: cannot open file 'a.exe'", std::nullopt},
        {L"cl : Command line warning D9002 : ignoring unknown option '/x'", std::nullopt},
        {L"a.cpp", std::nullopt},  // cl names each file it compiles
        {L"Microsoft (R) C/C++ Optimizing Compiler Version 19.38", std::nullopt},
        {L"f(1): call of f(2): error in text", std::nullopt},
    });
}

TEST(ParseDiagnostic, BorlandCpp55) {
    Check({
        {L"Error E2451 hello.cpp 12: Undefined symbol 'x' in function main()",
         Diagnostic{L"hello.cpp", 12, 0, E, L"Undefined symbol 'x' in function main()"}},
        {L"Warning W8004 C:\\my dir\\a.cpp 7: 'y' is assigned a value that is never used in function f()",
         Diagnostic{L"C:\\my dir\\a.cpp", 7, 0, W, L"'y' is assigned a value that is never used in function f()"}},
        {L"Fatal F1003 C:\\x\\a.cpp 3: Error directive: stop", Diagnostic{L"C:\\x\\a.cpp", 3, 0, E, L"Error directive: stop"}},
        {L"Error E2209 \\\\srv\\s\\b 2.cpp 1: Unable to open include file 'x.h'",
         Diagnostic{L"\\\\srv\\s\\b 2.cpp", 1, 0, E, L"Unable to open include file 'x.h'"}},
        {L"Error: Unresolved external '_foo' referenced from C:\\X\\A.OBJ", std::nullopt},
        {L"Borland C++ 5.5.1 for Win32 Copyright (c) 1993, 2000 Borland", std::nullopt},
        {L"hello.cpp:", std::nullopt},  // bcc32 names each file it compiles
        {L"*** 1 errors in Compile ***", std::nullopt},
        {L"Error E2451 a.cpp: no line", std::nullopt},
        {L"Warning W8004 12: no file", std::nullopt},
    });
}


// The "Using ..." line says what a GCC/Clang column counts; F4 lands on the character meant.
TEST(CompilerColumns, TheCompilerNamedAndTheCharacterEachColumnMeans) {
    EXPECT_EQ(CompilerColumns(L"Using C:\\mingw\\bin\\g++.exe"), ColumnKind::DisplayColumns);
    EXPECT_EQ(CompilerColumns(L"Using C:\\LLVM\\bin\\clang++.exe"), ColumnKind::Utf8Bytes);
    EXPECT_EQ(CompilerColumns(L"Using Microsoft C++: C:\\VC\\bin\\cl.exe"), ColumnKind::Characters);
    EXPECT_EQ(CompilerColumns(L"Using Borland C++: C:\\Borland\\BCC55\\Bin\\bcc32.exe"), ColumnKind::Characters);
    EXPECT_FALSE(CompilerColumns(L"main.cpp:1:1: error: Using x"));
    struct Row {
        const wchar_t* line;
        int column;
        ColumnKind kind;
        size_t character;
    } rows[] = {
        {L"\tint x = y;", 17, ColumnKind::DisplayColumns, 9},  // y: the tab runs to column 9
        {L"\tint x = y;", 17, ColumnKind::Characters, 16},
        {L"a\tb", 9, ColumnKind::DisplayColumns, 2},
        {L"a\tb", 5, ColumnKind::DisplayColumns, 1},           // inside the tab: the tab itself
        {L"\u00FC\u00DF = y;", 8, ColumnKind::Utf8Bytes, 5},  // two 2-byte characters before
        {L"\U0001F600 y", 6, ColumnKind::Utf8Bytes, 2},       // 4 bytes, one character
        {L"x = y;", 1, ColumnKind::Utf8Bytes, 0},
        {L"x = y;", 0, ColumnKind::Characters, 0},
        {L"ab", 9, ColumnKind::DisplayColumns, 8},  // beyond the end: the editing area clamps
    };
    for (const Row& r : rows)
        EXPECT_EQ(CharacterOfColumn(r.line, r.column, r.kind), r.character)
            << testing::PrintToString(std::wstring(r.line)) << " column " << r.column;
}

TEST(LineSplitter, AnEndlessLineIsCutAtACharactersStartAndMarked) {
    LineSplitter s(8);
    Lines lines;
    s.Add("abcdefg\xC3\xBC" "more and more", lines);  // the cut falls inside the 2-byte character
    s.Add(" still\r\nnext\n", lines);
    const std::string mark = WideToUtf8(texts::BuildLineCut);
    EXPECT_EQ(lines, (Lines{"abcdefg" + mark, "next"}));
}

}  // namespace
