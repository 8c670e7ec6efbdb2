// Every registration runs in a child process: the Pellamy build of the module's bitness (read from
// its header; this build's own for anything else), started from the program's own folder with a
// private switch, so either build registers modules of both bitnesses. The child loads the module, applies any redirection,
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
    std::wstring folder;  // where Pellamy.exe and Pellamy64.exe are; empty: the program's own folder
    bool typeLib = false;  // the module is a type library (a file, or a module's resource): its registration calls
};

inline constexpr DWORD kChildWaitMs = 10000;       // from the child's start: loading and start-up code inside it
inline constexpr DWORD kChildLifetimeMs = 300000;  // a child given up on is ended this long after its start

// Runs the request in a child and waits for it at most waitMs. A child still running then is left to
// finish and ended by its job when this process ends or kChildLifetimeMs after its start. A child
// that ends without one whole record is reported as crashed with its exit code; a build that is
// missing or cannot run here is reported as NoBuild.
RunRecord RunInChild(const ChildRequest& request, DWORD waitMs = kChildWaitMs);

// Registers (or unregisters) a local server: the server itself started as the child, with
// /RegServer, /UnregServer or their PerUser forms, under the same limit and job. Its exit code is
// the outcome: 0 completed, anything else failed with that code; a server that cannot start failed
// to load.
RunResult RunServer(const std::wstring& server, bool unregister, bool perUser, DWORD waitMs = kChildWaitMs);

// The child's side: true when args start with the private switch.
bool IsChildRun(const std::vector<std::wstring>& args);
int RunAsChild(const std::vector<std::wstring>& args);

}  // namespace pellamy
