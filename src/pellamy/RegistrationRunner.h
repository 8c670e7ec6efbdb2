// Runs a module's registration entry point on a worker thread of its own, under a time limit.
// The worker loads the module (its start-up code runs under the same limit), calls the entry point
// with OLE ready and releases the module. A fault the module does not handle ends only the worker;
// a worker still busy when the wait ends is left to finish, and then releases what it holds.
#pragma once
#include <windows.h>

#include <functional>
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
    NotRedirected, // the registry could not be redirected for the run; nothing ran (code: the system error)
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Completed;
    DWORD code = 0;
};

// Work done on the worker around the module: `before` once OLE is ready and before the module
// loads, `after` once the module is released (also after a fault in it; not when the module ended
// the thread itself). A worker given up on runs them when it ends, and releases them then.
struct RunHooks {
    std::function<void()> before;
    std::function<void()> after;
};

class RegistrationRunner {
public:
    static constexpr DWORD kWaitMs = 10000;

    // fullPath: the module by full path; entry: Register or Unregister.
    RegistrationRunner(std::wstring fullPath, EntryPoint entry, RunHooks hooks = {})
        : path_(std::move(fullPath)), entry_(entry), hooks_(std::move(hooks)) {}
    // Starts the worker and waits for it at most waitMs.
    RunResult Run(DWORD waitMs = kWaitMs);

private:
    std::wstring path_;
    EntryPoint entry_;
    RunHooks hooks_;
};

}  // namespace pellamy
