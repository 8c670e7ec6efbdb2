// The shell call behind the hyperlinks and Help items: ShellExecute with the arguments shaped as
// mShellExecute decides, failures recorded as the runtime's error.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include <functional>

#include "mShellExecute.h"

bool GShell(const std::wstring& FileName, int32_t WindowStyle, const std::wstring& Parameters,
            const std::wstring& Directory, const std::wstring& Operation, HWND OwnerWindow);

namespace gshell {
// One request as it reaches the shell.
struct Call {
    HWND owner;
    std::wstring operation;
    std::wstring file;
    std::wstring parameters;
    std::wstring directory;
    int32_t showCommand;
};
// Tests answer the shell call here with the shell's result code; empty means the real shell.
std::function<int64_t(const Call&)>& TestHook();
}  // namespace gshell
