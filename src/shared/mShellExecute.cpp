#include "mShellExecute.h"

#include "SharedTexts.h"
#include "TextConv.h"

#ifdef _WIN32
#include <shellapi.h>

#include "AppInfo.h"
#include "ErrRecord.h"
#endif

bool ShellResultIsSuccess(int64_t result) { return result < 0 || result > 32; }

ShellFailure ShellFailureFor(int32_t code) {
    using namespace texts;
    switch (code) {
    case 0: return {7, kShellOutOfMemory};
    case 2: return {53, kShellFileNotFound};
    case 3: return {76, kShellPathNotFound};
    case 5: return {75, kShellAccessError};
    case 8: return {7, kShellOutOfMemory};
    case 26: return {75, kShellSharing};
    case 28: return {286, kShellDdeTimeout};
    case 29: return {285, kShellDdeFail};
    case 30: return {285, kShellDdeBusy};
    case 32: return {48, kShellDllNotFound};
    default: break;
    }
    const int32_t number = kShellErrorBase + code;
    switch (code) {
    case 11: return {number, kShellBadExe};
    case 27: return {number, kShellNoAssocValid};
    case 31: return {number, kShellNoAssoc};
    default: return {number, kShellGeneral};
    }
}

ShellCallArgs ShellArgsFor(const std::wstring& fileName, int32_t windowStyle, const std::wstring& parameters,
                           const std::wstring& directory) {
    if (UpperAscii(fileName).find(L".EXE") != std::wstring::npos) windowStyle = 0;  // SW_HIDE
    if (!parameters.empty() || !directory.empty()) return {parameters, directory, windowStyle};
    return {L"", L"", 1};  // SW_SHOWNORMAL, whatever was asked
}

#ifdef _WIN32
namespace gshell {
std::function<int64_t(const Call&)>& TestHook() {
    static std::function<int64_t(const Call&)> hook;
    return hook;
}
}  // namespace gshell

bool GShell(const std::wstring& FileName, int32_t WindowStyle, const std::wstring& Parameters,
            const std::wstring& Directory, const std::wstring& Operation, HWND OwnerWindow) {
    const ShellCallArgs a = ShellArgsFor(FileName, WindowStyle, Parameters, Directory);
    int64_t r;
    if (gshell::TestHook()) {
        r = gshell::TestHook()({OwnerWindow, Operation, FileName, a.parameters, a.directory, a.showCommand});
    } else {
        HINSTANCE h = ShellExecuteW(OwnerWindow, Operation.empty() ? nullptr : Operation.c_str(), FileName.c_str(),
                                    a.parameters.empty() ? nullptr : a.parameters.c_str(),
                                    a.directory.empty() ? nullptr : a.directory.c_str(), a.showCommand);
        r = static_cast<int64_t>(reinterpret_cast<INT_PTR>(h));
    }
    if (ShellResultIsSuccess(r)) return true;
    const ShellFailure f = ShellFailureFor(static_cast<int32_t>(r));
    RecordError(f.number, ExeName() + texts::kShellSourceSuffix, f.message);
    return false;
}
#endif
