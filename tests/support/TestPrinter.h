// A printer for tests: the platform's PostScript driver printing into a file (no print server).
#pragma once
#include <windows.h>

#include <string>

namespace testenv {

inline constexpr const wchar_t* kTestPrinterName = L"Tavrin Test PostScript";

// Installs a PostScript printer (replacing one of that name) whose port is the file `portPath`, and
// makes it the default; the port file is appended to. An empty result on success, else what failed.
std::wstring InstallFilePrinter(const std::wstring& name, const std::wstring& portPath);
// Deletes the printer and its driver; true when it is gone.
bool RemovePrinter(const std::wstring& name);
// The default printer's name; empty when there is none.
std::wstring DefaultPrinterName();

}  // namespace testenv
