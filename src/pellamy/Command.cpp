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
    default: return nullptr;
    }
}

}  // namespace pellamy
