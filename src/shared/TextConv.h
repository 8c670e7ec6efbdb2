// Conversions between UTF-16 (used inside) and UTF-8 / the ANSI code page (used in files and old APIs).
#pragma once
#include <string>
#include <string_view>

// Wide strings hold UTF-16 code units on every platform (also where wchar_t is 32-bit).

// Strict UTF-8 <-> UTF-16. Invalid input becomes U+FFFD; ValidUtf8 tells beforehand.
std::wstring Utf8ToWide(std::string_view s);
std::string WideToUtf8(std::wstring_view w);
bool ValidUtf8(std::string_view s);

// How far the text is valid UTF-8, for text read in pieces: `valid` bytes are; when `cut`, the
// bytes after them are the start of a sequence the next piece may finish, otherwise an invalid
// sequence starts there. `high`: a byte above 127 in the valid part.
struct Utf8Check {
    size_t valid = 0;
    bool cut = false;
    bool high = false;
};
Utf8Check CheckUtf8(std::string_view s);

// The UTF-16 code units of valid UTF-8 text, counted without decoding it; and how many bytes from
// the start hold `units` of them (a place inside a surrogate pair rounds up to the pair's end).
size_t Utf16Units(std::string_view utf8);
size_t BytesOfUnits(std::string_view utf8, size_t units);

// ASCII-only upper/lower case and trimming (blanks), for names and paths.
std::wstring TrimBlanks(std::wstring_view s);
std::wstring UpperAscii(std::wstring_view s);
