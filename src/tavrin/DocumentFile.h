// Document files: the rules between the editor's text and a file (final line end, stream pieces,
// positions); encodings live in FileEncoding, the file calls in SafeSave.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>


namespace docfile {

// The text as it is written: followed by CR LF unless it already ends with a line end, so an
// unchanged file saves back byte for byte.
std::wstring WithFinalLineEnd(std::wstring_view text);

// How many of the `available` characters at `data` to hand to the editing control in one stream
// chunk: never a chunk that ends in CR while its LF may follow (the control would add an empty
// line) nor one that ends between the two halves of a surrogate pair, unless this is the end.
size_t ChunkLength(const wchar_t* data, size_t available, bool endOfText);

// The control counts a line end (CR LF in the text) as one character; these map between the two.
size_t ControlPosFromTextPos(std::wstring_view text, size_t textPos);
size_t TextPosFromControlPos(std::wstring_view text, size_t controlPos);

// A size for people: "512 bytes", "300 KB", "1.5 MB".
std::wstring SizeText(unsigned long long bytes);

#ifdef _WIN32
// Reads the whole file as ANSI text; false with the system's error code.
bool ReadText(const std::wstring& path, std::wstring& text, unsigned long& error);
// Writes the text (WithFinalLineEnd applied) as ANSI through a safe save; false with the error code
// (ERROR_NO_UNICODE_TRANSLATION, writing nothing, when a character has no place in the code page).
bool WriteText(const std::wstring& path, std::wstring_view text, unsigned long& error);
// The bytes WriteText puts in the file; `lossy` tells when a character had no mapping.
std::string EncodeForFile(std::wstring_view text, bool* lossy = nullptr);
#endif

}  // namespace docfile
