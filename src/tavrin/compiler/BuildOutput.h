// A build's console output: bytes from the pipe cut into lines, each line decoded, and the
// compilers' diagnostics (GCC/Clang, Microsoft C++, Borland C++ 5.5) read as jump targets.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Cuts the bytes into lines as they arrive, however the chunks fall (inside CR LF or a UTF-8
// sequence). A line ends at LF; every CR is dropped, so CR LF, CR CR LF and LF all end a line and a
// lone CR inside a line vanishes (no tool of a build draws progress with it).
// A line longer than `maxBytes` (a program that prints no line end) is cut there, at a character's
// start, and marked; the rest of it, up to its line end, is dropped as it arrives.
class LineSplitter {
public:
    static constexpr size_t kMaxLineBytes = 16384;
    explicit LineSplitter(size_t maxBytes = kMaxLineBytes) : max_(maxBytes) {}
    void Add(std::string_view chunk, std::vector<std::string>& lines);
    // The last line when the output did not end with a line end.
    void Finish(std::vector<std::string>& lines);

private:
    std::string partial_;
    size_t max_;
    bool cut_ = false;  // the line being read was cut: the rest of it is dropped
};

// Valid UTF-8 is read as UTF-8; anything else in the console's (OEM) code page, as cmd and the
// older compilers write it.
std::wstring DecodeLine(std::string_view bytes, unsigned oemCodePage);

enum class Severity { Error, Warning, Note };

struct Diagnostic {
    std::wstring file;
    int line = 0;
    int column = 0;  // 0 when the compiler gives none
    Severity severity = Severity::Error;
    std::wstring message;
    bool operator==(const Diagnostic&) const = default;
};

// What the column of a compiler's diagnostic counts on its line.
enum class ColumnKind {
    Characters,      // Microsoft C++ (and the default)
    DisplayColumns,  // GCC 11 and later: a tab runs to the next multiple of 8
    Utf8Bytes,       // Clang
};

// The compiler that compile.bat says it uses ("Using ..."), or nullopt when the line is not that.
std::optional<ColumnKind> CompilerColumns(std::wstring_view line);

// The character (0-based, counted in code points as the editing area places the caret) that a
// 1-based column of the compiler names on `lineText`; the line's end when the column lies beyond.
size_t CharacterOfColumn(std::wstring_view lineText, int column, ColumnKind kind);

// A line of a compiler that names a file and a line number; nullopt for everything else, also for
// messages without a line number (the linker's), which have no place to jump to.
std::optional<Diagnostic> ParseDiagnostic(std::wstring_view line);
