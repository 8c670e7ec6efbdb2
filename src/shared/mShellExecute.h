// GShell: asks the shell to open a document, folder, program or web address. A failure is turned
// into an error number and message, recorded in the error record (never shown), and answered false.
#pragma once
#include <cstdint>
#include <string>

// What the shell's failure code (0 to 32) means to a caller.
struct ShellFailure {
    int32_t number;
    const wchar_t* message;
};

constexpr int32_t kShellErrorBase = static_cast<int32_t>(0x80040418);  // object-error base + 1048

// True when the shell's result means it accepted the request (negative or above 32).
bool ShellResultIsSuccess(int64_t result);
// The error number and message for a failure code 0..32.
ShellFailure ShellFailureFor(int32_t code);

// The arguments the shell actually receives.
struct ShellCallArgs {
    std::wstring parameters;
    std::wstring directory;
    int32_t showCommand;
};
// Anything whose name contains ".EXE" starts hidden when it gets parameters or a directory;
// with neither, the shell always gets a normal window.
ShellCallArgs ShellArgsFor(const std::wstring& fileName, int32_t windowStyle, const std::wstring& parameters,
                           const std::wstring& directory);
