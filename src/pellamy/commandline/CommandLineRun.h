// Pellamy run from a script: the files of the command line registered without the window, each
// outcome in a message box unless /s; the result is the process exit status.
#pragma once
#include <string>
#include <vector>

namespace pellamy {

// args: the arguments after the program's name.
int RunFromCommandLine(const std::vector<std::wstring>& args);

}  // namespace pellamy
