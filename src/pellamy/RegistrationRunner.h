// Runs a module's registration entry point on a worker thread of its own, under a time limit.
// The worker loads the module (its start-up code runs under the same limit), calls the entry point
// with OLE ready and releases the module. A fault the module does not handle ends only the worker;
// a worker still busy when the wait ends is left to finish, and then releases what it holds.
#pragma once
#include <windows.h>

#include <string>

#include "Command.h"

namespace pellamy {

enum class RunOutcome {
    Completed,     // the entry point returned a success status (code)
    Failed,        // it returned a failure status (code)
    Crashed,       // it raised an exception it did not handle (code: the exception)
    EndedThread,   // it ended the worker thread (code: the thread's exit code)
    TimedOut,      // the worker did not end within the wait (code: the wait's result)
    LoadFailed,    // the module did not load (code: the system error)
    NoEntryPoint,  // the module lacks the entry point, or no worker thread could start
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Completed;
    DWORD code = 0;
};

class RegistrationRunner {
public:
    static constexpr DWORD kWaitMs = 10000;

    // fullPath: the module by full path; entry: Register or Unregister.
    RegistrationRunner(std::wstring fullPath, EntryPoint entry) : path_(std::move(fullPath)), entry_(entry) {}
    // Starts the worker and waits for it at most waitMs.
    RunResult Run(DWORD waitMs = kWaitMs);

private:
    std::wstring path_;
    EntryPoint entry_;
};

}  // namespace pellamy
