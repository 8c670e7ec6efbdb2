// The two ways of running a module's entry point with the registry redirected: for the current
// user only, and captured into a .reg file without registering.
#pragma once
#include <string>
#include <vector>

#include "Command.h"
#include "RegistrationRunner.h"

namespace pellamy {

// Registers (or unregisters) for the current user: HKEY_CLASSES_ROOT writes land under HKCU\Software\Classes.
// notWritten (when given) receives the keys the module wrote under the machine's roots
// (HKEY_LOCAL_MACHINE, HKEY_USERS), which were captured and dropped instead.
RunResult RunForCurrentUser(const std::wstring& path, EntryPoint entry, std::vector<std::wstring>* notWritten = nullptr);
struct ExportResult {
    RunResult run;
    bool written = false;               // the file holds what the module wrote, but for `leftOut`
    std::vector<std::wstring> leftOut;  // names the file cannot hold, as shown; never written
    std::wstring summary;               // the summary, or why the file could not be written; empty when the run failed
    bool Complete() const { return written && leftOut.empty(); }
};
// Runs DllRegisterServer with the registry redirected to a scratch key and writes what it wrote as a .reg file.
ExportResult ExportRegistration(const std::wstring& module, const std::wstring& regFile);

}  // namespace pellamy
