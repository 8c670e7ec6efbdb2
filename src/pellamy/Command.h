// The registration commands: which entry point a command runs, and its exported name.
#pragma once
#include <string>

namespace pellamy {

enum class EntryPoint { Register, Unregister, Unknown };
// "" registers, "U" or "u" unregisters; anything else is unknown (exact match, no trimming).
EntryPoint EntryForCommand(const std::wstring& command);
// The export to look up: "DllRegisterServer" or "DllUnregisterServer" (null for Unknown).
const char* EntryPointName(EntryPoint e);

}  // namespace pellamy
