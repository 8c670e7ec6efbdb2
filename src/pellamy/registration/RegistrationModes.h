// The two ways of running a module's entry point with the registry redirected: for the current
// user only, and captured into a .reg file without registering.
#pragma once
#include <string>
#include <vector>

#include "Command.h"
#include "RegFile.h"
#include "RegistrationRunner.h"

namespace pellamy {

// A registration child's side of a run for the current user (the redirection is process-wide):
// HKEY_CLASSES_ROOT writes land under HKCU\Software\Classes. notWritten receives the keys the module
// wrote under the machine's roots (HKEY_LOCAL_MACHINE, HKEY_USERS), which were captured and dropped
// instead. typeLib: the file is a type library, registered with the per-user calls.
RunResult RunForCurrentUserHere(const std::wstring& path, const std::vector<EntryCall>& calls,
                                std::vector<std::wstring>* notWritten, bool typeLib = false);
// Runs DllRegisterServer (or registers the type library) in this process with the registry
// redirected to a scratch key; what it wrote.
RunResult CaptureRegistration(const std::wstring& module, std::vector<RegKeyEntry>& captured, bool typeLib = false);

struct ExportResult {
    RunResult run;
    bool written = false;               // the file holds what the module wrote, but for `leftOut`
    std::vector<std::wstring> leftOut;  // names the file cannot hold, as shown; never written
    std::wstring summary;               // the summary, or why the file could not be written; empty when the run failed
    bool Complete() const { return written && leftOut.empty(); }
};
// Runs DllRegisterServer in a child with the registry redirected to a scratch key and writes what it wrote as a .reg file.
// childFolder: where the children's programs are (empty: the program's own folder).
ExportResult ExportRegistration(const std::wstring& module, const std::wstring& regFile, const std::wstring& childFolder = {},
                                bool typeLib = false);

}  // namespace pellamy
