#include "CommandLine.h"

#include <cwctype>

namespace pellamy {
namespace {

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::wstring Unquote(const std::wstring& s) {
    if (s.size() >= 2 && s.front() == L'"' && s.back() == L'"') return s.substr(1, s.size() - 2);
    if (s.size() == 1 && s.front() == L'"') return {};
    return s;
}

void Fail(CommandLine& c, ArgumentError e, const std::wstring& arg) {
    if (c.error != ArgumentError::None) return;
    c.error = e;
    c.badSwitch = arg;
}

}  // namespace

bool IsSwitch(const std::wstring& arg) { return arg.size() >= 2 && (arg[0] == L'/' || arg[0] == L'-'); }

bool OpensWindow(const std::vector<std::wstring>& args) {
    return args.size() <= 1 && (args.empty() || !IsSwitch(args[0]));
}

CommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
    CommandLine c;
    std::wstring nSwitch, userSwitch, exportSwitch, installSwitch, uSwitch;
    for (const std::wstring& arg : args) {
        if (!IsSwitch(arg)) {
            c.files.push_back(arg);
            continue;
        }
        c.anySwitch = true;
        const std::wstring name = Lower(arg.substr(1));
        if (name == L"u") {
            c.unregister = true;
            uSwitch = arg;
        } else if (name == L"s") {
            c.silent = true;
        } else if (name == L"n") {
            c.noRegister = true;
            nSwitch = arg;
        } else if (name == L"i" || name.rfind(L"i:", 0) == 0) {
            c.install = true;
            c.installCmd = name.size() > 2 ? Unquote(arg.substr(3)) : std::wstring();
            installSwitch = arg;
        } else if (name == L"?") {
            c.help = true;
        } else if (name == L"tlb") {
            c.typeLib = true;
        } else if (name == L"user") {
            c.currentUser = true;
            userSwitch = arg;
        } else if (name.rfind(L"export:", 0) == 0) {
            c.exportTo = Unquote(arg.substr(8));
            exportSwitch = arg;
            if (c.exportTo.empty()) Fail(c, ArgumentError::EmptyValue, arg);
        } else {
            Fail(c, ArgumentError::UnknownSwitch, arg);
        }
    }
    if (!nSwitch.empty() && !c.install) Fail(c, ArgumentError::NeedsInstall, nSwitch);
    // /user and /export run DllRegisterServer (or DllUnregisterServer) alone, in a mode of their own.
    if (!userSwitch.empty() && c.install) Fail(c, ArgumentError::Conflict, userSwitch);
    if (!exportSwitch.empty()) {
        if (c.unregister || c.install || c.currentUser) Fail(c, ArgumentError::Conflict, exportSwitch);
        if (c.files.size() > 1) Fail(c, ArgumentError::ExportOneFile, exportSwitch);
    }
    if (c.files.empty()) Fail(c, ArgumentError::NoFile, args.empty() ? std::wstring() : args.back());
    return c;
}

}  // namespace pellamy

#include "Texts.h"

namespace pellamy {

std::wstring ArgumentErrorText(const CommandLine& c) {
    const wchar_t* what = nullptr;
    switch (c.error) {
    case ArgumentError::None: return {};
    case ArgumentError::UnknownSwitch: what = texts::SwitchUnknown; break;
    case ArgumentError::NoFile: what = texts::SwitchNoFile; break;
    case ArgumentError::NeedsInstall: what = texts::SwitchNeedsInstall; break;
    case ArgumentError::Conflict: what = texts::SwitchConflict; break;
    case ArgumentError::ExportOneFile: what = texts::SwitchOneFile; break;
    case ArgumentError::EmptyValue: what = texts::SwitchNoValue; break;
    }
    return std::wstring(texts::SwitchPrefix) + c.badSwitch + what + L"\r\n\r\n" + texts::Usage;
}

}  // namespace pellamy
