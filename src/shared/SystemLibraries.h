// System libraries come from the system folder only: a DLL of the same name planted beside the
// program (a downloads folder) or in the current folder is never loaded in their place.
#pragma once
#include <windows.h>

// Limits the process's default library search to the system folder. Called first thing at start-up,
// before anything loads a library by name.
void RestrictLibrarySearch();

// Loads a system library ("version.dll") from the system folder; null with the error set when it cannot.
HMODULE LoadSystemLibrary(const wchar_t* name);
