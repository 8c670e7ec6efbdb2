// Runs a module's registration entry point on a worker thread of its own, in the registration
// child (ChildRun.h). The worker loads the module, calls the entry point with OLE ready and releases
// the module. A fault the module does not handle ends only the worker, so the child still reports it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Command.h"
#include "RunResult.h"

namespace pellamy {

// Work done on the worker around the module: `before` once OLE is ready (not when it failed to
// start) and before the module loads, `after` once the module is released (also after a fault in
// it; not when the module ended the thread itself). A worker given up on runs them when it ends,
// and releases them then.
struct RunHooks {
    std::function<void()> before;
    std::function<void()> after;
};

// A type library's run: its registration calls instead of a module's entry points, machine-wide or
// for the current user.
enum class TypeLibRun { No, Machine, User };

class RegistrationRunner {
public:
    static constexpr DWORD kWaitMs = 10000;

    // fullPath: the module by full path; entry: Register or Unregister.
    RegistrationRunner(std::wstring fullPath, EntryPoint entry, RunHooks hooks = {})
        : path_(std::move(fullPath)), calls_{EntryCall{entry, true, {}}}, hooks_(std::move(hooks)) {}
    // The calls run in order on the one worker; all their entry points are looked up before the
    // first runs, and the first failure status ends the run.
    RegistrationRunner(std::wstring fullPath, std::vector<EntryCall> calls, RunHooks hooks = {},
                       TypeLibRun typeLib = TypeLibRun::No)
        : path_(std::move(fullPath)), calls_(std::move(calls)), hooks_(std::move(hooks)), typeLib_(typeLib) {}
    // Starts the worker and waits for it at most waitMs.
    RunResult Run(DWORD waitMs = kWaitMs);

private:
    std::wstring path_;
    std::vector<EntryCall> calls_;
    RunHooks hooks_;
    TypeLibRun typeLib_ = TypeLibRun::No;
};

}  // namespace pellamy
