// Program-wide values: the title every window shows, the executable's name and folder.
#pragma once
#include <string>

// "Tavrin" or "Pellamy"; set by the main window when it loads.
extern std::wstring AppTitle;

#ifdef _WIN32
// The running executable's file name without extension ("Tavrin", "Pellamy64").
std::wstring ExeName();
// The folder the executable lives in, without a trailing separator.
std::wstring ProgramFolder();
// Full path of the running executable.
std::wstring ExePath();
// The system's text for an error code, without the trailing line end; empty when it has none.
std::wstring SystemErrorText(unsigned long code);
#endif
