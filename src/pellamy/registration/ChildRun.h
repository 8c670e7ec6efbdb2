// Every registration runs in a child process: the Pellamy build of this bitness, started from the
// program's own folder with a private switch. The child loads the module, applies any redirection,
// calls the entry points and writes one RunRecord to its standard output, an inherited pipe. Whatever
// the module does to its process (a hung start-up code holding the loader, a corrupted heap,
// ExitProcess, a redirection of the registry) stays in the child.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "Command.h"
#include "RunRecord.h"

namespace pellamy {

enum class ChildMode : wchar_t { Plain = L'p', CurrentUser = L'c', Export = L'e' };

struct ChildRequest {
    std::wstring module;  // full path
    ChildMode mode = ChildMode::Plain;
    std::vector<EntryCall> calls;
};

inline constexpr DWORD kChildWaitMs = 10000;       // from the child's start: loading and start-up code inside it
inline constexpr DWORD kChildLifetimeMs = 300000;  // a child given up on is ended this long after its start

// Runs the request in a child and waits for it at most waitMs. A child still running then is left to
// finish and ended by its job when this process ends or kChildLifetimeMs after its start. A child
// that ends without one whole record is reported as crashed with its exit code.
RunRecord RunInChild(const ChildRequest& request, DWORD waitMs = kChildWaitMs);

// The child's side: true when args start with the private switch.
bool IsChildRun(const std::vector<std::wstring>& args);
int RunAsChild(const std::vector<std::wstring>& args);

}  // namespace pellamy
