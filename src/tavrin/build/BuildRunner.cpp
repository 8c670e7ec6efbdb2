#include "BuildRunner.h"

#include <algorithm>

#include "BuildOutput.h"
#include "Texts.h"
#include "basTavrin.h"

namespace {

// Posts the object; while the queue is full (10,000 messages) it waits, so no line is lost, but
// gives up when the window is gone or the build is being stopped (the window thread may be
// waiting for this thread then).
template <class T>
void PostOwned(HWND notify, UINT msg, BuildEvent kind, T* object, const std::atomic<bool>& stopped) {
    while (!PostMessageW(notify, msg, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(object))) {
        if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA || !IsWindow(notify) || stopped) {
            delete object;
            return;
        }
        Sleep(10);
    }
}

struct EnvironmentStrings {
    wchar_t* p = GetEnvironmentStringsW();
    ~EnvironmentStrings() { if (p) FreeEnvironmentStringsW(p); }
};

}  // namespace

std::unique_ptr<std::wstring> TakeBuildLine(LPARAM lp) {
    return std::unique_ptr<std::wstring>(reinterpret_cast<std::wstring*>(lp));
}

std::unique_ptr<BuildResult> TakeBuildResult(LPARAM lp) {
    return std::unique_ptr<BuildResult>(reinterpret_cast<BuildResult*>(lp));
}

void DiscardBuildMessages(HWND notify, UINT msg) {
    MSG m;
    while (PeekMessageW(&m, notify, msg, msg, PM_REMOVE)) {
        if (m.wParam == static_cast<WPARAM>(BuildEvent::Line)) TakeBuildLine(m.lParam);
        else if (m.wParam == static_cast<WPARAM>(BuildEvent::Finished)) TakeBuildResult(m.lParam);
    }
}

std::vector<std::wstring> ProcessEnvironment() {
    std::vector<std::wstring> out;
    EnvironmentStrings env;
    for (const wchar_t* e = env.p; e && *e; e += wcslen(e) + 1) out.emplace_back(e);
    return out;
}

BuildRunner::~BuildRunner() {
    Stop();
    stopped_ = true;  // the reader gives up posting to a full queue: nobody reads it now
    Join();
}

void BuildRunner::Join() {
    if (reader_.joinable()) reader_.join();
}

bool StartInConsole(const BuildCommand& command, unsigned long& error) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::wstring line = command.commandLine;
    std::wstring env = command.environment;
    if (!CreateProcessW(command.application.c_str(), line.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | CREATE_UNICODE_ENVIRONMENT, env.empty() ? nullptr : env.data(),
                        command.workingDirectory.empty() ? nullptr : command.workingDirectory.c_str(), &si, &pi)) {
        error = GetLastError();
        return false;
    }
    raii::Handle process(pi.hProcess), thread(pi.hThread);  // not watched
    error = 0;
    return true;
}

bool BuildRunner::Start(HWND notify, UINT msg, const BuildCommand& command, std::wstring& error) {
    if (running_) {
        error = texts::BuildAlreadyRunning;
        return false;
    }
    Join();
    const std::wstring cannot = texts::BuildCannotStart + command.application + L"\n\n";
    raii::Handle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
        error = cannot + ReasonText(GetLastError());
        return false;
    }
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    raii::Handle readEnd, writeEnd;
    if (!CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0) ||
        !SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0)) {
        error = cannot + ReasonText(GetLastError());
        return false;
    }
    raii::File nul(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr));
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul ? nul.get() : nullptr;
    si.hStdOutput = si.hStdError = writeEnd.get();
    PROCESS_INFORMATION pi{};
    std::wstring line = command.commandLine;  // CreateProcessW may write into it
    std::wstring env = command.environment;
    // Suspended until it is in the job, so nothing it starts can get away.
    if (!CreateProcessW(command.application.c_str(), line.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT,
                        env.empty() ? nullptr : env.data(),
                        command.workingDirectory.empty() ? nullptr : command.workingDirectory.c_str(), &si, &pi)) {
        error = cannot + ReasonText(GetLastError());
        return false;
    }
    raii::Handle process(pi.hProcess), thread(pi.hThread);
    // Where jobs do not nest (before Windows 8, inside another job), Stop ends the interpreter alone.
    if (!AssignProcessToJobObject(job.get(), process.get())) job.reset();
    ResumeThread(thread.get());
    writeEnd.reset();  // the pipe breaks when the last process of the build lets go of it

    job_ = std::move(job);
    process_ = std::move(process);
    pipe_ = std::move(readEnd);
    stopped_ = false;
    running_ = true;
    reader_ = std::thread(&BuildRunner::Read, this, notify, msg, GetTickCount64());
    return true;
}

void BuildRunner::Stop() {
    if (!running_) return;
    stopped_ = true;
    if (job_) TerminateJobObject(job_.get(), 1);
    else TerminateProcess(process_.get(), 1);
}

// Reads only what the pipe holds, so it never hangs on a pipe that a leftover process (a
// compiler's server) keeps open after the interpreter has ended: the build is over then.
void BuildRunner::Read(HWND notify, UINT msg, ULONGLONG startTick) {
    const unsigned oem = GetOEMCP();
    LineSplitter splitter;
    std::vector<std::string> lines;
    std::vector<char> buffer(8192);
    auto post = [&] {
        for (const std::string& l : lines)
            PostOwned(notify, msg, BuildEvent::Line, new std::wstring(DecodeLine(l, oem)), stopped_);
        lines.clear();
    };
    auto readSome = [&](DWORD want) {
        DWORD got = 0;
        if (!ReadFile(pipe_.get(), buffer.data(), want, &got, nullptr) || got == 0) return false;
        splitter.Add(std::string_view(buffer.data(), got), lines);
        post();
        return true;
    };
    for (bool exited = false;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe_.get(), nullptr, 0, nullptr, &available, nullptr)) {
            while (readSome(static_cast<DWORD>(buffer.size()))) {}  // broken: what is left, then the end
            break;
        }
        if (available > 0) {
            readSome(std::min<DWORD>(available, static_cast<DWORD>(buffer.size())));
            continue;
        }
        if (exited) break;
        exited = WaitForSingleObject(process_.get(), 20) == WAIT_OBJECT_0;
    }
    splitter.Finish(lines);
    post();
    WaitForSingleObject(process_.get(), INFINITE);
    auto* result = new BuildResult;
    GetExitCodeProcess(process_.get(), &result->exitCode);
    result->seconds = static_cast<double>(GetTickCount64() - startTick) / 1000.0;
    result->stopped = stopped_;
    if (job_) TerminateJobObject(job_.get(), 1);  // what the build left running
    running_ = false;
    PostOwned(notify, msg, BuildEvent::Finished, result, stopped_);
}
