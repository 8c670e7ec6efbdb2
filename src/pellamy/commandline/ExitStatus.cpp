#include "ExitStatus.h"

namespace pellamy {

ExitStatus ExitStatusFor(RunOutcome outcome) {
    switch (outcome) {
    case RunOutcome::Completed: return kExitDone;
    case RunOutcome::Failed: return kExitEntryFailed;
    case RunOutcome::Crashed:
    case RunOutcome::EndedThread:
    case RunOutcome::EndedProcess: return kExitCrashed;
    case RunOutcome::TimedOut: return kExitTimedOut;
    case RunOutcome::LoadFailed: return kExitLoadFailed;
    case RunOutcome::NoEntryPoint: return kExitNoEntryPoint;
    case RunOutcome::OleFailed:
    case RunOutcome::NotStarted: return kExitOleFailed;
    case RunOutcome::NotRedirected: return kExitNotRedirected;
    case RunOutcome::NoBuild: return kExitOtherBitness;
    }
    return kExitEntryFailed;
}

}  // namespace pellamy
