// What one registration run ended with (window-free, so the exit statuses are tested natively).
#pragma once
#include <cstdint>

namespace pellamy {

enum class RunOutcome {
    Completed,     // the entry point returned a success status (code)
    Failed,        // it returned a failure status (code)
    Crashed,       // it raised an exception it did not handle (code: the exception)
    EndedThread,   // it ended the worker thread (code: the thread's exit code)
    TimedOut,      // the worker did not end within the wait (code: the wait's result)
    LoadFailed,    // the module did not load (code: the system error)
    NoEntryPoint,  // the module lacks the entry point
    NotStarted,    // no worker thread could be started; nothing was loaded (code: the system error)
    OleFailed,     // OLE could not be initialised on the worker (code: its status)
    NotRedirected, // the registry could not be redirected for the run; nothing ran (code: the system error)
    EndedProcess,  // the registration's process ended without reporting (code: its exit code)
    NoBuild,       // the Pellamy build of the module's bitness is not beside this one or cannot run here;
                   // nothing ran (code: the system error). Never in a child's record.
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Completed;
    uint32_t code = 0;
};

}  // namespace pellamy
