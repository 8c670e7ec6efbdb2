// Build: how the compile batch file is started for the document being edited, so that no character
// of its name is read by the command interpreter as a command or a variable.
#pragma once
#include <string>
#include <utility>
#include <vector>

struct BuildCommand {
    std::wstring application;       // the command interpreter (tests start their own programs)
    std::wstring commandLine;       // what it is started with
    std::wstring workingDirectory;  // the document's folder
    std::wstring environment;       // a Unicode environment block: NAME=value\0...\0\0, sorted by name
};

// The environment variable that carries the document's path to the batch file.
inline constexpr const wchar_t* kBuildSourceVariable = L"TAVRIN_SOURCE";

// `<system folder>\cmd.exe` running `"<batchPath>" "<documentPath>"` in the document's folder (the
// batch file's own for a UNC folder, which cmd cannot stand in), with `parentEnvironment` (entries
// NAME=value) plus TAVRIN_NOPAUSE=1 and TAVRIN_SOURCE=<documentPath>.
BuildCommand MakeBuildCommand(const std::wstring& batchPath, const std::wstring& systemFolder,
                                  const std::wstring& documentPath, const std::vector<std::wstring>& parentEnvironment);

// The entries with `set` put in (replacing an entry of the same name, case-blind), as the block
// CreateProcessW takes: sorted by upper-cased name, each ended by NUL, one more NUL at the end.
std::wstring EnvironmentBlock(std::vector<std::wstring> entries,
                              const std::vector<std::pair<std::wstring, std::wstring>>& set);

// Tools > Run: `<system folder>\cmd.exe` running the built program (through a variable, as above)
// and then waiting for a key, in the program's folder.
BuildCommand MakeRunCommand(const std::wstring& program, const std::wstring& systemFolder,
                                const std::vector<std::wstring>& parentEnvironment);

// What building `source` makes: the program of the same name beside it.
std::wstring BuiltProgramOf(const std::wstring& source);
