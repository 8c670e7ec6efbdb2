#include "Launch.h"

namespace launch {

Started Start(const Options& o) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    if (o.show >= 0) {
        si.dwFlags |= STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(o.show);
    }
    const bool handles = o.input || o.output || o.error;
    if (handles) {
        si.dwFlags |= STARTF_USESTDHANDLES;
        si.hStdInput = o.input;
        si.hStdOutput = o.output;
        si.hStdError = o.error;
    }
    DWORD flags = CREATE_UNICODE_ENVIRONMENT;
    if (o.console == Console::New) flags |= CREATE_NEW_CONSOLE;
    if (o.console == Console::None) flags |= CREATE_NO_WINDOW;
    if (o.job) flags |= CREATE_SUSPENDED;
    PROCESS_INFORMATION pi{};
    Started s;
    for (int attempt = 0;; ++attempt) {
        std::wstring line = o.commandLine;  // CreateProcessW may write into it
        std::wstring env = o.environment;
        const unsigned long fault = TestFault() ? TestFault()() : 0;
        if (!fault && CreateProcessW(o.application.empty() ? nullptr : o.application.c_str(), line.data(), nullptr,
                                     nullptr, handles ? TRUE : FALSE, flags, env.empty() ? nullptr : env.data(),
                                     o.workingFolder.empty() ? nullptr : o.workingFolder.c_str(), &si, &pi))
            break;
        s.error = fault ? fault : GetLastError();
        if (s.error != ERROR_INTERNAL_ERROR || attempt == 2) return s;
        Sleep(100);
    }
    s.error = 0;
    s.process.reset(pi.hProcess);
    raii::Handle thread(pi.hThread);
    if (o.job) {
        s.inJob = AssignProcessToJobObject(o.job, pi.hProcess) != FALSE;
        ResumeThread(thread.get());
    }
    return s;
}

std::function<unsigned long()>& TestFault() {
    static std::function<unsigned long()> fault;
    return fault;
}

}  // namespace launch
