// Registration modes beside the plain run: for the current user only, and the export of what a
// module registers as a .reg file.
#pragma once
#include <string>

#include "Command.h"
#include "RunResult.h"

namespace pellamy {

// Runs DllRegisterServer or DllUnregisterServer (entry) with the module's machine-wide writes
// landing under the current user's classes.
RunResult RunForCurrentUser(const std::wstring& path, EntryPoint entry);
// Captures what DllRegisterServer of `module` writes and saves it as `regFile` without changing the
// registry. summary: what was exported (or why not); result: the run.
bool ExportRegistration(const std::wstring& module, const std::wstring& regFile, std::wstring& summary,
                        RunResult& result);

}  // namespace pellamy
