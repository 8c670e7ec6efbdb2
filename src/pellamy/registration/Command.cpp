#include "Command.h"

namespace pellamy {

EntryPoint EntryForCommand(const std::wstring& command) {
    if (command.empty()) return EntryPoint::Register;
    if (command == L"U" || command == L"u") return EntryPoint::Unregister;
    return EntryPoint::Unknown;
}

const char* EntryPointName(EntryPoint e) {
    switch (e) {
    case EntryPoint::Register: return "DllRegisterServer";
    case EntryPoint::Unregister: return "DllUnregisterServer";
    case EntryPoint::Install: return "DllInstall";
    default: return nullptr;
    }
}

std::vector<EntryCall> EntryCallsFor(bool unregister, bool install, bool noRegister, const std::wstring& cmdLine) {
    const EntryCall server{unregister ? EntryPoint::Unregister : EntryPoint::Register, true, {}};
    const EntryCall dllInstall{EntryPoint::Install, !unregister, cmdLine};
    std::vector<EntryCall> calls;
    // What registering adds, unregistering takes away in the opposite order.
    if (install && unregister) calls.push_back(dllInstall);
    if (!noRegister || !install) calls.push_back(server);
    if (install && !unregister) calls.push_back(dllInstall);
    return calls;
}

}  // namespace pellamy
