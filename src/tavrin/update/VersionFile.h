// The version file the web update check reads, and how versions compare. Window-free.
//
// The file is UTF-8 text (a byte-order mark is allowed), lines of key=value; blank lines and lines
// starting with # are skipped; keys are not case-sensitive and unknown keys are ignored:
//   version=1.40                                  required, digits separated by dots
//   download=https://tavrin.example.org/get      required, an http:// or https:// address
//   info=What is new.                             optional, repeatable; lines are joined by line feeds
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Digits separated by single dots ("1", "1.35", "2.0.10"); nothing else.
bool IsVersionText(std::wstring_view v);
// Numeric comparison field by field, missing fields counting as 0 (1.35 < 1.135 < 2.0, 2 == 2.0).
// Negative, zero or positive. Both must satisfy IsVersionText.
int CompareVersions(std::wstring_view a, std::wstring_view b);

struct VersionFile {
    std::wstring version;
    std::wstring download;
    std::wstring info;
};

constexpr size_t kMaxVersionFileBytes = 64 * 1024;

// False when the bytes are not a version file of ours.
bool ParseVersionFile(std::string_view bytes, VersionFile& out);

// An address the check may hand to the shell: http:// or https:// and a host name, in printable
// ASCII without backslashes or characters no address may hold.
bool IsWebAddress(std::wstring_view s);
