// Paths as the file calls take them. Full and IsFile ask Windows; the rest is text.
#pragma once
#include <string>

namespace paths {

// The complete path (drive and folder) of a path that may be relative to the current folder; the
// path itself when the system cannot make one. Paths enter the programs through this, so a later
// change of the current folder (the file dialogs move it) never moves a file.
std::wstring Full(const std::wstring& path);

// The last part of a path (after its last \ or /), and what stands before that separator (empty
// for a bare name).
std::wstring Name(const std::wstring& path);
std::wstring Folder(const std::wstring& path);

// `name` inside `folder` (whose trailing separators are dropped).
std::wstring Join(std::wstring folder, const std::wstring& name);
// The command interpreter, cmd.exe, in the system folder.
std::wstring CommandInterpreter(const std::wstring& systemFolder);

// True when the path names a file that is there (not a folder).
bool IsFile(const std::wstring& path);

}  // namespace paths
