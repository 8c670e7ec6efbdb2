// Starts a program: the one place the programs call CreateProcessW.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "Raii.h"

namespace launch {

enum class Console {
    Inherit,  // a console program shares the caller's console (a window program has none)
    New,      // a console window of its own
    None,     // no console window at all (its output goes where the handles say)
};

struct Options {
    std::wstring application;    // the program's full path
    std::wstring commandLine;    // as the program sees it, its own name first
    std::wstring workingFolder;  // empty: the caller's current folder
    std::wstring environment;    // a Unicode block (NAME=value\0...\0\0); empty: the caller's
    Console console = Console::Inherit;
    int show = -1;  // SW_* for the program's first window; -1: as the system decides
    // Standard handles, inherited by the program (inheritable handles of the caller's go along).
    HANDLE input = nullptr, output = nullptr, error = nullptr;
    // Started suspended, put into this job and then let run, so nothing it starts gets away.
    HANDLE job = nullptr;
};

struct Started {
    raii::Handle process;  // empty when it could not be started
    unsigned long error = 0;  // the system's error code then
    bool inJob = false;  // false where jobs do not nest (before Windows 8, inside another job)
    explicit operator bool() const { return static_cast<bool>(process); }
};

// A start refused with ERROR_INTERNAL_ERROR, a passing failure (seen under Wine on a busy machine,
// the program's files fine), is tried twice more before it is reported.
Started Start(const Options& options);

// Tests: before each attempt, the error to refuse it with (0: the program is started).
std::function<unsigned long()>& TestFault();

}  // namespace launch
