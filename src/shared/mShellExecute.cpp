#include "mShellExecute.h"

#include "SharedTexts.h"
#include "TextConv.h"

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
