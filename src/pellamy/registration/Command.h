// The registration commands: which entry point a command runs, and its exported name.
#pragma once
#include <string>
#include <vector>

namespace pellamy {

enum class EntryPoint { Register, Unregister, Unknown, Install };
// "" registers, "U" or "u" unregisters; anything else is unknown (exact match, no trimming).
EntryPoint EntryForCommand(const std::wstring& command);
// The export to look up: "DllRegisterServer", "DllUnregisterServer" or "DllInstall" (null for Unknown).
const char* EntryPointName(EntryPoint e);

// One call of a run. DllInstall takes the flag (install or uninstall) and the command line.
struct EntryCall {
    EntryPoint entry = EntryPoint::Register;
    bool install = true;
    std::wstring cmdLine;
    bool operator==(const EntryCall&) const = default;
};

// The calls of a run, in order: registering installs after DllRegisterServer, unregistering
// uninstalls before DllUnregisterServer; noRegister leaves the two servers' entry points out.
std::vector<EntryCall> EntryCallsFor(bool unregister, bool install, bool noRegister, const std::wstring& cmdLine);

}  // namespace pellamy
