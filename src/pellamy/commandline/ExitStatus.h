// The process exit status of a command-line run: the platform registration tool's numbers (0-5)
// and Pellamy's own beyond them.
#pragma once
#include "RunResult.h"

namespace pellamy {

enum ExitStatus : int {
    kExitDone = 0,
    kExitBadArguments = 1,
    kExitOleFailed = 2,  // or the worker thread could not start: nothing was loaded
    kExitLoadFailed = 3,
    kExitNoEntryPoint = 4,
    kExitEntryFailed = 5,
    kExitTimedOut = 6,
    kExitCrashed = 7,        // a fault in the entry point, or it ended its thread or its process
    kExitOtherBitness = 8,   // the build of the module's bitness is missing beside this one
    kExitNotRedirected = 9,  // /user or /export: the registry could not be redirected, so nothing ran
};

ExitStatus ExitStatusFor(RunOutcome outcome);

// The status of a run over several files: that of the first file that failed, 0 when none did.
class ExitStatusOfFiles {
public:
    void Add(ExitStatus s) {
        if (status_ == kExitDone) status_ = s;
    }
    ExitStatus Status() const { return status_; }

private:
    ExitStatus status_ = kExitDone;
};

}  // namespace pellamy
