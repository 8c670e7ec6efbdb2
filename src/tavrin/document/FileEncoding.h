// A document file's bytes <-> the editing area's text (UTF-8, line ends as in the file): encoding,
// byte-order mark and line-end style are found on opening and kept for saving, so an unchanged file
// goes back byte for byte.
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "LineEnds.h"

namespace docfile {

// OEM (the console's code page) is never detected: only chosen when reopening.
enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be, Oem };

// How a document is written.
struct FileFormat {
    Encoding encoding = Encoding::Ansi;
    bool bom = false;
    LineEnd lineEnd = LineEnd::CrLf;  // of new lines and the final line end
    bool operator==(const FileFormat&) const = default;
};

// What saving the opened text would not give back as it was.
struct Changes {
    bool otherBytes = false;  // bytes the encoding does not map back (invalid sequences)
    bool Any() const { return otherBytes; }
};

// The file as the editing area holds it: UTF-8, line ends and NUL bytes as they are.
struct Decoded {
    std::string text;
    FileFormat format;
    Changes changes;
    bool binary = false;  // NUL bytes: said on opening
    LineEndCounts ends;   // of the text
};

// The encoding and mark of the bytes: a UTF-8 / UTF-16 mark wins; else UTF-8 when valid with at least
// one multi-byte sequence; else the ANSI code page. The line-end style is not looked at.
FileFormat DetectEncoding(std::string_view bytes);

// Decodes the bytes and works out what a save of the unchanged text would change. A UTF-8 file is
// its own text: taken over from `bytes` without a copy when they are moved in.
Decoded Decode(std::string bytes);
// The same in a chosen encoding (its mark skipped when the bytes start with it); bytes it cannot
// decode become the decoder's replacement, and a save then asks first.
Decoded DecodeAs(std::string bytes, Encoding encoding);

// Decodes a file given in pieces of any size (as it is read) into the editing area's text, handed
// on in pieces: the same text, format and changes as Decode / DecodeAs of the whole. The encoding
// is found from the first bytes (a mark) and from what the UTF-8 check proves along the way.
class Decoder {
public:
    // Takes each piece of text (UTF-8); false when there is no room for it (the decoding stops).
    using Out = std::function<bool(std::string_view text)>;
    // `as`: decoded in that encoding, as DecodeAs does.
    explicit Decoder(Out out, const Encoding* as = nullptr);
    // Again: bytes that are not UTF-8 came after text went out as UTF-8; the text so far is void,
    // and the file decodes again from its start as ANSI (DecodeAs(bytes, Encoding::Ansi)).
    enum class Step { Go, Again, Stop };
    Step Add(std::string_view bytes);
    Step Finish();
    // The format, changes and NUL bytes of the text that went out (`text` stays empty).
    const Decoded& Result() const { return result_; }

private:
    enum class Mode { Start, Utf8Maybe, Utf8, Utf8Repair, Utf16, Code };
    Step Begin(std::string_view first);
    Step Body(std::string_view bytes, bool last);
    Step Utf8Body(std::string_view bytes, bool last);
    Step CodeBody(std::string_view bytes, bool last);
    Step Utf16Body(std::string_view bytes, bool last);
    // The bytes held back from the last part, then these: in `joined` when anything was held back.
    std::string_view AfterCarry(std::string_view bytes, std::string& joined);
    bool Emit(std::string_view text);

    Out out_;
    const Encoding* as_;
    Mode mode_ = Mode::Start;
    Decoded result_;
    std::string carry_;  // bytes of an unfinished sequence (or line, for code pages) waiting for the next piece
    bool highOut_ = false;  // a multi-byte sequence went out as UTF-8
    LineEndCounter ends_;
};

// The bytes of the file for the editing area's text (UTF-8): final line end added in the file's
// style, mark and encoding. `unstorable` tells when a character has no place in the encoding (its
// bytes are then not the text's).
std::string Encode(std::string_view text, const FileFormat& format, bool* unstorable = nullptr);

// True when `bytes`, the text encoded in this format, open again as the same text: the detection on
// opening can take ANSI bytes for UTF-8 or for a mark, and a leading U+FEFF for a mark.
bool ReadsBack(std::string_view text, std::string_view bytes, const FileFormat& format);

// The ANSI code page <-> UTF-16: the system's on Windows (FileEncoding_win.cpp), Latin-1 elsewhere
// (FileEncoding_host.cpp, for the host tests). `lossy` tells when a character had no byte of its own.
std::wstring AnsiDecode(std::string_view bytes);
// Any code page (0 is the ANSI one) -> UTF-16; Latin-1 for every code page in the host build.
std::wstring CodePageDecode(std::string_view bytes, unsigned codePage);
std::string AnsiEncode(std::wstring_view text, bool* lossy);
std::string CodePageEncode(std::wstring_view text, unsigned codePage, bool* lossy);
// The system's OEM code page, as the code page calls take it (CP_OEMCP).
inline constexpr unsigned kOemCodePage = 1;

// A short name of the format for messages ("UTF-8", "UTF-16 LE", "ANSI"...).
std::wstring FormatName(const FileFormat& format);

}  // namespace docfile
