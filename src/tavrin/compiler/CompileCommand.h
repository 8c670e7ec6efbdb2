// Tools > "C++ with Borland Compiler 5.5": the compile batch file beside the program, started with
// the argument hello.cpp in a minimised window, without waiting.
#pragma once
#include <string>

struct CompileCommand {
    std::wstring batchPath;    // <program folder>\code\compile.bat
    std::wstring application;  // the command interpreter
    std::wstring commandLine;  // what the interpreter is started with
    int showCmd;               // minimised, with the focus
};

// The batch file's path is quoted, so a folder with spaces starts the batch file and nothing else.
CompileCommand MakeCompileCommand(const std::wstring& programFolder, const std::wstring& systemFolder);
