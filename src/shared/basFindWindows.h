// The Windows system folder, looked up once at start.
#pragma once
#include <cstdint>
#include <string>

// Without a trailing separator or terminator; empty until FindSystemFolder has run.
extern std::wstring SystemFolder;
extern int16_t SystemFolderLength;

// The folder as the system reports it after a call that filled `length` characters of `buffer`
// (blanks and terminator dropped). Exposed for tests.
std::wstring SystemFolderFromBuffer(const std::wstring& buffer, size_t length);

// Sets SystemFolder and SystemFolderLength; on failure both keep their values. Returns success.
bool FindSystemFolder();
