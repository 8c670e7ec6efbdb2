// Pellamy's command line: [/u] [/s] [/i[:cmdline]] [/n] [/user] [/export:file.reg] [/tlb] file...
// Switches start with '/' or '-' and are not case-sensitive.
#pragma once
#include <string>
#include <vector>

namespace pellamy {

enum class ArgumentError {
    None,
    UnknownSwitch,   // the switch is not one of ours
    NoFile,          // switches without a file
    NeedsInstall,    // /n without /i
    Conflict,        // the switch cannot go with another one given
    ExportOneFile,   // /export with more than one file
    EmptyValue,      // /export: without a file name
};

struct CommandLine {
    bool unregister = false;    // /u
    bool silent = false;        // /s
    bool install = false;       // /i, /i:cmdline
    std::wstring installCmd;    // the text after "/i:", one pair of surrounding quotes removed
    bool noRegister = false;    // /n
    bool currentUser = false;   // /user
    std::wstring exportTo;      // /export:file.reg
    bool help = false;          // /?: the usage alone, nothing runs
    bool typeLib = false;       // /tlb: a module's type library resource, not its entry points
    std::vector<std::wstring> files;
    bool anySwitch = false;
    ArgumentError error = ArgumentError::None;
    std::wstring badSwitch;     // the switch the error is about, as given
};

// True for an argument that reads as a switch.
bool IsSwitch(const std::wstring& arg);
// args: the arguments after the program's name, as the system split them. The first error is kept,
// but all switches are read (so /s is known even then).
CommandLine ParseCommandLine(const std::vector<std::wstring>& args);
// Without switches and with at most one file the window opens (with that file in the path box).
bool OpensWindow(const std::vector<std::wstring>& args);

}  // namespace pellamy

namespace pellamy {
// The message for a command line with an error: what is wrong, naming the switch, and the usage.
std::wstring ArgumentErrorText(const CommandLine& c);
}  // namespace pellamy
