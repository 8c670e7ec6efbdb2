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
// Runs DllRegisterServer with the registry redirected to a scratch key and writes what it wrote as a .reg file.
// True when the file was written, with its summary. False when the run did not complete (result
// says why; summary empty) or, with result Completed, when the file could not be written (summary
// says why).
bool ExportRegistration(const std::wstring& module, const std::wstring& regFile, std::wstring& summary, RunResult& result);

}  // namespace pellamy
