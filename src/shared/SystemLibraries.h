// System libraries come from the system folder only: a DLL of the same name planted beside the
// program (a downloads folder) or in the current folder is never loaded in their place.
#pragma once
#include <windows.h>

#include <string>

#include "Raii.h"

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

// A folder added to the search of the process's later loads by name (AddDllDirectory); removed
// again when its owner goes. Nothing on a system without the call, whose search is not restricted.
struct DllDirectoryTraits {
    using Type = void*;  // the cookie AddDllDirectory returns
    static void* Invalid() { return nullptr; }
    static bool Valid(void* cookie) { return cookie != nullptr; }
    static void Close(void* cookie);
};
using DllDirectory = raii::Unique<DllDirectoryTraits>;
DllDirectory AddSearchFolder(const std::wstring& folder);

}  // namespace syslib
