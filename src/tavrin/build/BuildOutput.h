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
class LineSplitter {
public:
    void Add(std::string_view chunk, std::vector<std::string>& lines);
    // The last line when the output did not end with a line end.
    void Finish(std::vector<std::string>& lines);

private:
    std::string partial_;
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

// A line of a compiler that names a file and a line number; nullopt for everything else, also for
// messages without a line number (the linker's), which have no place to jump to.
std::optional<Diagnostic> ParseDiagnostic(std::wstring_view line);
