// A build: the command line and environment the compile batch file is started with; its output
// (lines cut from pipe chunks, decoded, the compilers' diagnostics read); the output pane's places
// (F4 and Shift+F4 round the list, the file each names).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "BuildCommand.h"
#include "BuildLog.h"
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

TEST(LineSplitter, EveryLineEndWhereverTheChunksFallEachLineAsSoonAsItEndsAndAnEndlessOneCut) {
    const std::pair<std::string, Lines> rows[] = {
        {"one\r\ntwo\r\n", {"one", "two"}}, {"one\ntwo\n", {"one", "two"}}, {"one\r\n\r\nthree\n", {"one", "", "three"}},
        {"no end", {"no end"}}, {"", {}}, {"\r\n", {""}},
        {"a\rb\r\n", {"ab"}},          // a lone CR inside a line vanishes
        {"done\r\r\n", {"done"}},      // CR CR LF (text mode over text mode) is one line end
        {"\xC3\xBC ok\r\n\x81 oem\n", {"\xC3\xBC ok", "\x81 oem"}},
    };
    for (const auto& [bytes, expected] : rows) {
        EXPECT_EQ(Split({bytes}), expected) << bytes;
        // Every place of one cut, then one byte at a time.
        for (size_t cut = 0; cut <= bytes.size(); ++cut)
            EXPECT_EQ(Split({bytes.substr(0, cut), bytes.substr(cut)}), expected) << bytes << " cut " << cut;
        Lines single;
        for (char c : bytes) single.push_back(std::string(1, c));
        EXPECT_EQ(Split(single), expected) << bytes;
    }
    // Lines come out as soon as their end arrives; an endless line is cut at a character's start and marked.
    LineSplitter s, cut(8);
    Lines lines, cutLines;
    std::vector<size_t> counts;
    for (const char* chunk : {"first\r", "\nsec", "ond\n"}) s.Add(chunk, lines), counts.push_back(lines.size());
    s.Finish(lines);  // nothing left over
    EXPECT_EQ(counts, (std::vector<size_t>{0, 1, 2}));
    EXPECT_EQ(lines, (Lines{"first", "second"}));
    cut.Add("abcdefg\xC3\xBC" "more and more", cutLines);  // the cut falls inside the 2-byte character
    cut.Add(" still\r\nnext\n", cutLines);
    EXPECT_EQ(cutLines, (Lines{"abcdefg" + WideToUtf8(texts::BuildLineCut), "next"}));
}

TEST(DecodeLine, Utf8WhenValidElseTheConsoleCodePage) {
    const std::pair<std::string, const wchar_t*> rows[] = {
        {"plain ascii", L"plain ascii"}, {"", L""}, {"caf\xE9", nullptr},
        {"gr\xC3\xBC\xC3\x9F \xE2\x82\xAC", L"gr\u00FC\u00DF \u20AC"},
        {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"},  // UTF-16 inside, a surrogate pair
        {"\xC3\xBC and \xFC", nullptr},  // one invalid byte: the whole line in the code page
        {"\xED\xA0\x80", nullptr},       // an encoded surrogate is not UTF-8
    };
    // Null: read in the code page (Latin-1 in the host build).
    for (const auto& [bytes, utf8] : rows)
        EXPECT_EQ(DecodeLine(bytes, 850), utf8 ? std::wstring(utf8) : docfile::CodePageDecode(bytes, 850)) << bytes;
#ifdef _WIN32
    EXPECT_EQ(DecodeLine("caf\x82 \x81", 437), L"caf\u00E9 \u00FC");
    EXPECT_EQ(DecodeLine("\x9C", 850), L"\u00A3");
#else
    EXPECT_EQ(DecodeLine("caf\xE9", 850), L"caf\u00E9");
#endif
}

// Each compiler's diagnostics as file|line|column|severity|message; "-": nothing to jump to.
TEST(ParseDiagnostic, GccClangMicrosoftAndBorland) {
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"C:\\dir\\a.cpp:12:5: error: 'x' was not declared", L"C:\\dir\\a.cpp|12|5|E|'x' was not declared"},
        {L"a.cpp:3: warning: no newline at end of file", L"a.cpp|3|0|W|no newline at end of file"},
        {L"C:\\my dir\\b c.cpp:1:10: fatal error: x.h: No such file", L"C:\\my dir\\b c.cpp|1|10|E|x.h: No such file"},
        {L"..\\inc\\util.h:40:7: note: declared here", L"..\\inc\\util.h|40|7|N|declared here"},
        {L"\\\\server\\share\\x.cpp:7:1: error: expected ';'", L"\\\\server\\share\\x.cpp|7|1|E|expected ';'"},
        {L"C:/work/main.cpp:9:14: warning: unused 'y' [-Wunused]", L"C:/work/main.cpp|9|14|W|unused 'y' [-Wunused]"},
        {L"C:\\x\\a.cpp:5:3: error: no 'operator<<' (types 'a' {aka 'b'})", L"C:\\x\\a.cpp|5|3|E|no 'operator<<' (types 'a' {aka 'b'})"},
        {L"C:\\x (2)\\a.cpp:8:1: error: x", L"C:\\x (2)\\a.cpp|8|1|E|x"},
        {L"caf\u00E9.cpp:2:2: error: stray '\\303' in program", L"caf\u00E9.cpp|2|2|E|stray '\\303' in program"},
        {L"In file included from a.cpp:3:", L"-"}, {L"                 from C:\\x\\b.cpp:4:", L"-"},
        {L"a.cpp: In function 'int main()':", L"-"}, {L"collect2.exe: error: ld returned 1 exit status", L"-"},
        {L"g++: fatal error: no input files", L"-"}, {L"C:\\bin\\ld.exe: a.o:a.cpp:(.text+0x1f): undefined reference", L"-"},
        {L"a.cpp:12:5:   required from here", L"-"}, {L"   12 |     int x", L"-"}, {L"      |         ^", L"-"},
        {L"   12 |     puts(\"a.cpp:3: error: x\");", L"-"}, {L"<command-line>:0:1: error: bad macro", L"-"},
        {L"a.cpp:0: error: line zero", L"-"}, {L"a.cpp:12:5: Error: capitalised is not GCC's", L"-"},
        {L"a.cpp:99999999999: error: too big a line", L"-"}, {L"Using C:\\mingw\\bin\\g++.exe", L"-"},
        {L"Compiling C:\\x\\a.cpp in C:\\x", L"-"}, {L"", L"-"},
        // Microsoft C++
        {L"C:\\dir\\a.cpp(12): error C2065: 'x': undeclared", L"C:\\dir\\a.cpp|12|0|E|'x': undeclared"},
        {L"C:\\dir\\a.cpp(12,5): warning C4101: 'y': unused", L"C:\\dir\\a.cpp|12|5|W|'y': unused"},
        {L"a.cpp(1): fatal error C1083: Cannot open 'x.h'", L"a.cpp|1|0|E|Cannot open 'x.h'"},
        {L"C:\\Program Files (x86)\\inc\\v.h(30): note: see 'v'", L"C:\\Program Files (x86)\\inc\\v.h|30|0|N|see 'v'"},
        {L"\\\\srv\\share\\p (1)\\m.cpp(4,1): error C2143: missing ';'", L"\\\\srv\\share\\p (1)\\m.cpp|4|1|E|missing ';'"},
        {L"a.obj : error LNK2019: unresolved external symbol foo", L"-"}, {L"LINK : fatal error LNK1104: cannot open 'a.exe'", L"-"},
        {L"cl : Command line warning D9002 : ignoring '/x'", L"-"}, {L"a.cpp", L"-"},  // cl names each file it compiles
        {L"Microsoft (R) C/C++ Optimizing Compiler Version 19.38", L"-"}, {L"f(1): call of f(2): error in text", L"-"},
        // Borland C++ 5.5
        {L"Error E2451 hello.cpp 12: Undefined symbol 'x'", L"hello.cpp|12|0|E|Undefined symbol 'x'"},
        {L"Warning W8004 C:\\my dir\\a.cpp 7: 'y' is never used", L"C:\\my dir\\a.cpp|7|0|W|'y' is never used"},
        {L"Fatal F1003 C:\\x\\a.cpp 3: Error directive: stop", L"C:\\x\\a.cpp|3|0|E|Error directive: stop"},
        {L"Error E2209 \\\\srv\\s\\b 2.cpp 1: Unable to open 'x.h'", L"\\\\srv\\s\\b 2.cpp|1|0|E|Unable to open 'x.h'"},
        {L"Error: Unresolved external '_foo' referenced from C:\\X\\A.OBJ", L"-"},
        {L"Borland C++ 5.5.1 for Win32 Copyright (c) 1993, 2000 Borland", L"-"},
        {L"hello.cpp:", L"-"}, {L"*** 1 errors in Compile ***", L"-"},  // bcc32 names each file it compiles
        {L"Error E2451 a.cpp: no line", L"-"}, {L"Warning W8004 12: no file", L"-"},
    };
    for (const auto& [line, want] : rows) {
        const std::optional<Diagnostic> d = ParseDiagnostic(line);
        const std::wstring shown = d ? d->file + L"|" + std::to_wstring(d->line) + L"|" + std::to_wstring(d->column) + L"|" +
                                           L"EWN"[static_cast<int>(d->severity)] + L"|" + d->message
                                     : L"-";
        EXPECT_EQ(shown, want) << testing::PrintToString(std::wstring(line));
    }
}

// The "Using ..." line says what a GCC/Clang column counts; F4 lands on the character meant.
TEST(CompilerColumns, TheCompilerNamedAndTheCharacterEachColumnMeans) {
    using enum ColumnKind;
    EXPECT_EQ(CompilerColumns(L"Using C:\\mingw\\bin\\g++.exe"), DisplayColumns);
    EXPECT_EQ(CompilerColumns(L"Using C:\\LLVM\\bin\\clang++.exe"), Utf8Bytes);
    EXPECT_EQ(CompilerColumns(L"Using Microsoft C++: C:\\VC\\bin\\cl.exe"), Characters);
    EXPECT_EQ(CompilerColumns(L"Using Borland C++: C:\\Borland\\BCC55\\Bin\\bcc32.exe"), Characters);
    EXPECT_FALSE(CompilerColumns(L"main.cpp:1:1: error: Using x"));
    struct Row {
        const wchar_t* line;
        int column;
        ColumnKind kind;
        size_t character;
    } rows[] = {
        {L"\tint x = y;", 17, DisplayColumns, 9},  // y: the tab runs to column 9
        {L"\tint x = y;", 17, Characters, 16}, {L"a\tb", 9, DisplayColumns, 2}, {L"x = y;", 1, Utf8Bytes, 0},
        {L"a\tb", 5, DisplayColumns, 1},           // inside the tab: the tab itself
        {L"\u00FC\u00DF = y;", 8, Utf8Bytes, 5},  // two 2-byte characters before
        {L"\U0001F600 y", 6, Utf8Bytes, 2},       // 4 bytes, one character
        {L"\xDBFF\xDFFF y", 6, Utf8Bytes, 2},     // the same as two UTF-16 units (the last pair)
        {L"a\xDC00" L"b", 5, Utf8Bytes, 2},        // a low half alone is no pair: 3 bytes
        {L"x = y;", 0, Characters, 0}, {L"ab", 9, DisplayColumns, 8},  // beyond the end: the editing area clamps
    };
    for (const Row& r : rows)
        EXPECT_EQ(CharacterOfColumn(r.line, r.column, r.kind), r.character)
            << testing::PrintToString(std::wstring(r.line)) << " column " << r.column;
}

std::vector<std::wstring> Entries(const std::wstring& block) {
    std::vector<std::wstring> out;
    for (size_t i = 0; i < block.size() && block[i] != L'\0'; i = block.find(L'\0', i) + 1)
        out.push_back(block.substr(i, block.find(L'\0', i) - i));
    return out;
}

// The document's path reaches the batch file through a variable, never through the command line;
// the build runs in its folder, or the batch file's for a UNC folder (cmd cannot run in one).
TEST(BuildCommand, ThePathTravelsInAVariableTheBuildRunsInItsFolderAndTheEnvironmentIsSorted) {
    const struct {
        const wchar_t *doc, *folder;
    } rows[] = {
        {L"C:\\My Files\\hello.cpp", L"C:\\My Files"},      {L"C:\\a & b\\x^y (1).cpp", L"C:\\a & b"},
        {L"C:\\p\\a%PATH%b.cpp", L"C:\\p"},                 {L"C:\\p\\!x! & del y.cpp", L"C:\\p"},
        {L"C:\\gr\u00FC\u00DFe\\\u20AC.cpp", L"C:\\gr\u00FC\u00DFe"}, {L"C:\\x.cpp", L"C:\\"},
        {L"D:/work/y.cpp", L"D:/work"},                     {L"\\\\server\\share\\x.cpp", L"C:\\Tavrin\\code"},
    };
    for (const auto& r : rows) {
        const BuildCommand s = MakeBuildCommand(L"C:\\Tavrin\\code\\compile.bat", L"C:\\windows\\system32\\", r.doc, {});
        EXPECT_EQ(s.application + L"|" + s.workingDirectory, L"C:\\windows\\system32\\cmd.exe|" + std::wstring(r.folder));
        EXPECT_NE(s.commandLine.find(L"\"C:\\Tavrin\\code\\compile.bat\" \"%TAVRIN_SOURCE%\""), std::wstring::npos);
        EXPECT_EQ(s.commandLine.find(r.doc), std::wstring::npos) << r.doc;
        EXPECT_EQ(Entries(s.environment), (std::vector<std::wstring>{L"TAVRIN_NOPAUSE=1", L"TAVRIN_SOURCE=" + std::wstring(r.doc)}));
    }
    // The environment is the parent's plus ours, sorted by name.
    const BuildCommand s = MakeBuildCommand(
        L"C:\\t\\code\\compile.bat", L"C:\\windows\\system32", L"C:\\s\\a.cpp",
        {L"windir=C:\\windows", L"=C:=C:\\s", L"Path=C:\\bin;D:\\x=y", L"tavrin_nopause=", L"ALLUSERSPROFILE=C:\\all",
         L"TAVRIN_SOURCE=C:\\old.cpp", L"_under=1"});
    EXPECT_EQ(Entries(s.environment),
              (std::vector<std::wstring>{L"=C:=C:\\s", L"ALLUSERSPROFILE=C:\\all", L"Path=C:\\bin;D:\\x=y",
                                         L"TAVRIN_NOPAUSE=1", L"TAVRIN_SOURCE=C:\\s\\a.cpp", L"windir=C:\\windows",
                                         L"_under=1"}));
}

TEST(BuildCommand, RunStartsTheProgramBesideTheSourceThroughAVariable) {
    const std::pair<const wchar_t*, const wchar_t*> programs[] = {
        {L"C:\\s\\a.cpp", L"C:\\s\\a.exe"}, {L"D:\\x\\v1.2.cpp", L"D:\\x\\v1.2.exe"}, {L"\\\\srv\\share\\b.c", L"\\\\srv\\share\\b.exe"},
        {L"C:\\my.dir\\prog", L"C:\\my.dir\\prog.exe"},  // a dot in the folder only
    };
    for (const auto& [source, program] : programs) EXPECT_EQ(BuiltProgramOf(source), program) << source;
    const BuildCommand r = MakeRunCommand(L"C:\\a & b\\%x%.exe", L"C:\\windows\\system32\\", {L"A=1"});
    EXPECT_EQ(r.application, L"C:\\windows\\system32\\cmd.exe");
    EXPECT_EQ(r.commandLine.find(L"%x%"), std::wstring::npos);  // the name is never in the line
    EXPECT_NE(r.commandLine.find(L"\"%TAVRIN_PROGRAM%\" & pause"), std::wstring::npos);
    EXPECT_EQ(r.workingDirectory, L"C:\\a & b");
    EXPECT_EQ(Entries(r.environment), (std::vector<std::wstring>{L"A=1", L"TAVRIN_PROGRAM=C:\\a & b\\%x%.exe"}));
}

TEST(BuildLog, StepsRoundTheDiagnosticsAndResolvesTheirFiles) {
    BuildLog log;
    log.Clear(L"C:\\work\\app");
    const wchar_t* lines[] = {
        L"Building C:\\work\\app\\main.cpp",
        L"main.cpp:3:5: error: 'x' was not declared in this scope",
        L"    3 |     x = 1;",
        L"C:\\work\\lib\\util.h(12): warning C4101: 'y': unreferenced local variable",
        L"src/other.cpp:7:1: warning: no return statement",
        L"Build finished: exit code 1 (0.4 s)",
    };
    size_t places = 0;
    for (size_t i = 0; i < std::size(lines); ++i) places += log.Add(lines[i], i);
    ASSERT_EQ(places, 3u);
    ASSERT_EQ(log.Count(), 3u);
    EXPECT_EQ(std::tuple(log.PaneLineOf(0), log.PaneLineOf(2), log.OnPaneLine(3), log.OnPaneLine(2)),
              std::tuple(size_t{1}, size_t{4}, std::optional<size_t>(1), std::optional<size_t>()));
    EXPECT_EQ(log.PathOf(log.At(0)) + L"|" + log.PathOf(log.At(1)) + L"|" + log.PathOf(log.At(2)),
              L"C:\\work\\app\\main.cpp|C:\\work\\lib\\util.h|C:\\work\\app\\src\\other.cpp");
    // Forward from nothing starts at the first, backward at the last; both go round.
    std::vector<size_t> walked;
    for (int i = 0; i < 4; ++i) walked.push_back(*log.Step(true));
    EXPECT_EQ(walked, (std::vector<size_t>{0, 1, 2, 0}));
    EXPECT_EQ(log.Step(false), std::optional<size_t>(2));
    log.SetCurrent(1);  // a double-click on a line
    EXPECT_EQ(log.Step(true), std::optional<size_t>(2));
    log.Clear(L"C:\\work\\app");
    for (size_t i = 0; i < std::size(lines); ++i) log.Add(lines[i], i);
    EXPECT_EQ(log.Step(false), std::optional<size_t>(2));
    log.Clear(L"D:\\");
    EXPECT_FALSE(log.Step(true) || log.Step(false));
    Diagnostic d;
    d.file = L"\\\\server\\share\\x.cpp";
    EXPECT_EQ(log.PathOf(d), L"\\\\server\\share\\x.cpp");
    d.file = L"../b/./a.cpp";  // left for the system to resolve
    EXPECT_EQ(log.PathOf(d), L"D:\\..\\b\\.\\a.cpp");
    // The columns count as the compiler named in the output does.
    EXPECT_EQ(log.Columns(), ColumnKind::Characters);
    log.Add(L"Using C:\\llvm\\bin\\clang++.exe", 0);
    EXPECT_EQ(log.Columns(), ColumnKind::Utf8Bytes);
}

}  // namespace
