#include "CompileCommand.h"

#ifdef _WIN32
#include <windows.h>

#include "Paths.h"
#include "Raii.h"
#endif

namespace {
constexpr int kShowMinimized = 2;  // SW_SHOWMINIMIZED: minimised and given the focus

std::wstring WithoutTrailingSeparators(std::wstring folder) {
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    return folder;
}
}  // namespace

CompileCommand MakeCompileCommand(const std::wstring& programFolder, const std::wstring& systemFolder) {
    CompileCommand c;
    c.batchPath = WithoutTrailingSeparators(programFolder) + L"\\code\\compile.bat";
    c.application = WithoutTrailingSeparators(systemFolder) + L"\\cmd.exe";
    // cmd /c strips the outer pair of quotes and runs what is inside as typed.
    c.commandLine = L"\"" + c.application + L"\" /c \"\"" + c.batchPath + L"\" hello.cpp\"";
    c.showCmd = kShowMinimized;
    return c;
}

#ifdef _WIN32
bool StartCompile(const CompileCommand& cmd, unsigned long& error) {
    if (!paths::IsFile(cmd.batchPath)) {
        error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(cmd.showCmd);
    PROCESS_INFORMATION pi{};
    std::wstring line = cmd.commandLine;  // CreateProcessW may write into it
    if (!CreateProcessW(cmd.application.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &si, &pi)) {
        error = GetLastError();
        return false;
    }
    // Not watched: the handles go at once.
    raii::Handle process(pi.hProcess), thread(pi.hThread);
    error = 0;
    return true;
}
#endif
