// Runs a module's registration entry point on a worker thread of its own, under a time limit.
// The worker loads the module (its start-up code runs under the same limit), calls the entry point
// with OLE ready and releases the module. A fault the module does not handle ends only the worker;
// a worker still busy when the wait ends is left to finish, and then releases what it holds.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "Command.h"
#include "RunResult.h"

namespace pellamy {

class RegistrationRunner {
public:
    static constexpr DWORD kWaitMs = 10000;

    // fullPath: the module by full path; entry: Register or Unregister.
    RegistrationRunner(std::wstring fullPath, EntryPoint entry)
        : path_(std::move(fullPath)), calls_{EntryCall{entry, true, {}}} {}
    // The calls run in order on the one worker; all their entry points are looked up before the
    // first runs, and the first failure status ends the run.
    RegistrationRunner(std::wstring fullPath, std::vector<EntryCall> calls)
        : path_(std::move(fullPath)), calls_(std::move(calls)) {}
    // Starts the worker and waits for it at most waitMs.
    RunResult Run(DWORD waitMs = kWaitMs);

private:
    std::wstring path_;
    std::vector<EntryCall> calls_;
};

}  // namespace pellamy
