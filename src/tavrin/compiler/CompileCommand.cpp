#include "CompileCommand.h"

#include "Paths.h"

namespace {
constexpr int kShowMinimized = 2;  // SW_SHOWMINIMIZED: minimised and given the focus
}  // namespace

CompileCommand MakeCompileCommand(const std::wstring& programFolder, const std::wstring& systemFolder) {
    CompileCommand c;
    c.batchPath = paths::Join(paths::Join(programFolder, L"code"), L"compile.bat");
    c.application = paths::CommandInterpreter(systemFolder);
    // cmd /c strips the outer pair of quotes and runs what is inside as typed.
    c.commandLine = L"\"" + c.application + L"\" /c \"\"" + c.batchPath + L"\" hello.cpp\"";
    c.showCmd = kShowMinimized;
    return c;
}
