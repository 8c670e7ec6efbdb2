#include "GShell.h"

#include <shellapi.h>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "SharedTexts.h"

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
