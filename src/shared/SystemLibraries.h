// System libraries come from the system folder only: a DLL of the same name planted beside the
// program (a downloads folder) or in the current folder is never loaded in their place.
#pragma once
#include <windows.h>

namespace syslib {

// Limits the process's default library search to the system folder and the folders added with
// AddDllDirectory (Pellamy adds a module's own folder while it runs). Called first thing at
// start-up, before anything loads a library by name.
void RestrictLibrarySearch();

// Loads a system library ("version.dll") from the system folder; null with the error set when it cannot.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Looks up `name` in `m` as the function type of `f`; false when it is missing.
template <class F>
bool Bind(HMODULE m, const char* name, F& f) {
    f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name)));
    return f != nullptr;
}

}  // namespace syslib
