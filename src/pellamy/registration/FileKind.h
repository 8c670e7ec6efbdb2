// What kind of file a registration works on, which decides how it runs: a module's entry points
// in a registration child, a local server's own switches, or a type library's registration calls.
#pragma once
#include <cstddef>
#include <string>

namespace pellamy {

enum class FileKind {
    Module,       // a DLL or OCX: DllRegisterServer and DllUnregisterServer
    LocalServer,  // an .exe COM server: /RegServer, /UnregServer and their PerUser forms
    TypeLibrary,  // a .tlb or .olb file, or a module's type library resource when asked for
};

// path: for its extension; head: the file's first bytes (ModuleHeader); typeLib: the module's type
// library is meant (/tlb).
FileKind KindOfFile(const std::wstring& path, const unsigned char* head, size_t size, bool typeLib = false);

// The switch a local server is started with.
const wchar_t* ServerSwitch(bool unregister, bool perUser);

}  // namespace pellamy
