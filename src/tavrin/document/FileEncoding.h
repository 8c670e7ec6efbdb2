// A document file's bytes <-> the editing area's text: encoding, byte-order mark and line-end style
// are found on opening and kept for saving, so an unchanged file goes back byte for byte.
#pragma once
#include <string>
#include <string_view>

namespace docfile {

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };
enum class LineEnd { CrLf, Lf };

// How a document is written.
struct FileFormat {
    Encoding encoding = Encoding::Ansi;
    bool bom = false;
    LineEnd lineEnd = LineEnd::CrLf;
    bool operator==(const FileFormat&) const = default;
};

// What saving the opened text would not give back as it was.
struct Changes {
    bool nul = false;            // NUL bytes: binary data
    bool lineEnds = false;       // lone CR, CR CR LF or mixed styles become the file's one style
    bool otherBytes = false;     // bytes the encoding does not map back (invalid sequences)
    bool editor = false;         // the editing area did not keep the text as it was given
    bool Any() const { return nul || lineEnds || otherBytes || editor; }
};

// The file as the editing area takes it: every line end as CR LF.
struct Decoded {
    std::wstring text;
    FileFormat format;
    Changes changes;
};

// The encoding and mark of the bytes: a UTF-8 / UTF-16 mark wins; else UTF-8 when valid with at least
// one multi-byte sequence; else the ANSI code page. The line-end style is not looked at.
FileFormat DetectEncoding(std::string_view bytes);

// Decodes the bytes and works out what a save of the unchanged text would change.
Decoded Decode(std::string_view bytes);

// The bytes of the file for the editing area's text: final line end added, line ends in the file's
// style, mark and encoding. `unstorable` tells when a character has no place in the encoding (its
// bytes are then not the text's).
std::string Encode(std::wstring_view text, const FileFormat& format, bool* unstorable = nullptr);

// True when `bytes`, the text encoded in this format, open again as the same text: the detection on
// opening can take ANSI bytes for UTF-8 or for a mark, and a leading U+FEFF for a mark.
bool ReadsBack(std::wstring_view text, std::string_view bytes, const FileFormat& format);

// The ANSI code page <-> UTF-16: the system's on Windows (FileEncoding_win.cpp), Latin-1 elsewhere
// (FileEncoding_host.cpp, for the host tests). `lossy` tells when a character had no byte of its own.
std::wstring AnsiDecode(std::string_view bytes);
std::string AnsiEncode(std::wstring_view text, bool* lossy);

// A short name of the format for messages ("UTF-8", "UTF-16 LE", "ANSI"...).
std::wstring FormatName(const FileFormat& format);

}  // namespace docfile
