#include "ChildRun.h"

#include <memory>

#include "AppInfo.h"
#include "Launch.h"
#include "FileKind.h"
#include "ModuleFile.h"
#include "Paths.h"
#include "PeHeader.h"
#include "Raii.h"
#include "RegistrationModes.h"
#include "RegistrationRunner.h"

namespace pellamy {
namespace {

constexpr wchar_t kChildSwitch[] = L"/~child";

// One argument as the C runtime's parser reads it back.
std::wstring QuoteArgument(const std::wstring& s) {
    std::wstring out = L"\"";
    size_t slashes = 0;
    for (wchar_t c : s) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

std::wstring CallArgument(const EntryCall& c) {
    switch (c.entry) {
    case EntryPoint::Register: return L"r";
    case EntryPoint::Unregister: return L"u";
    default: return std::wstring(c.install ? L"i+" : L"i-") + c.cmdLine;
    }
}

// What the parent reads from the pipe, shared with the reading thread, which may outlive the wait.
struct PipeRead {
    raii::Handle pipe;
    std::string bytes;
};

DWORD WINAPI ReadPipe(void* param) {
    std::shared_ptr<PipeRead> read(*static_cast<std::shared_ptr<PipeRead>*>(param));
    delete static_cast<std::shared_ptr<PipeRead>*>(param);
    char buffer[65536];
    DWORD got = 0;
    // One byte past the bound is enough to know a record is too long.
    while (read->bytes.size() <= kRunRecordMaxBytes && ReadFile(read->pipe.get(), buffer, sizeof(buffer), &got, nullptr) && got)
        read->bytes.append(buffer, got);
    return 0;
}

// A child given up on: its job ends it at the end of its lifetime, or when this process ends and
// the job's last handle closes with it.
struct Abandoned {
    raii::Handle job, process;
    ULONGLONG started;
};

DWORD WINAPI EndAtLifetime(void* param) {
    std::unique_ptr<Abandoned> a(static_cast<Abandoned*>(param));
    const ULONGLONG age = GetTickCount64() - a->started;
    if (WaitForSingleObject(a->process.get(), age >= kChildLifetimeMs ? 0 : static_cast<DWORD>(kChildLifetimeMs - age)) ==
        WAIT_TIMEOUT)
        TerminateJobObject(a->job.get(), ERROR_TIMEOUT);
    return 0;
}

// A job that ends what it holds when its last handle closes (with this process at the latest).
raii::Handle ChildJob() {
    raii::Handle job(CreateJobObjectW(nullptr, nullptr));
    if (job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
        SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    }
    return job;
}

// Waits for a child at most waitMs: true when it ended. One still running is left to finish, and
// ended by its job at the end of its lifetime or with this process.
bool WaitOrAbandon(raii::Handle& job, raii::Handle& process, ULONGLONG started, DWORD waitMs, DWORD& wait) {
    wait = WaitForSingleObject(process.get(), waitMs);
    if (wait == WAIT_OBJECT_0) return true;
    auto* a = new Abandoned{std::move(job), std::move(process), started};
    if (HANDLE keeper = CreateThread(nullptr, 0, &EndAtLifetime, a, 0, nullptr)) CloseHandle(keeper);
    else delete a;  // its job ends the child now
    return false;
}

void Write(HANDLE out, const std::string& bytes) {
    for (size_t at = 0; at < bytes.size();) {
        DWORD wrote = 0;
        if (!WriteFile(out, bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &wrote, nullptr) || !wrote) return;
        at += wrote;
    }
}

}  // namespace

RunRecord RunInChild(const ChildRequest& request, DWORD waitMs) {
    RunRecord record;
    const std::vector<unsigned char> head = ModuleHeader(request.module);
    const Bitness own = sizeof(void*) == 8 ? Bitness::Bits64 : Bitness::Bits32;
    Bitness bits = PeBitness(head.data(), head.size());
    // Anything but an x86 or x64 module goes to this build, whose loader names what is wrong.
    if (bits != Bitness::Bits32 && bits != Bitness::Bits64) bits = own;
    const std::wstring exe = (request.folder.empty() ? ProgramFolder() : request.folder) + L"\\" + BuildFor(bits);
    const DWORD attrs = GetFileAttributesW(exe.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        record.result = {RunOutcome::NoBuild, ERROR_FILE_NOT_FOUND};
        return record;
    }
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        record.result = {RunOutcome::NotStarted, GetLastError()};
        return record;
    }
    auto read = std::make_shared<PipeRead>();
    read->pipe.reset(readEnd);
    raii::Handle write(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    raii::Handle job = ChildJob();
    launch::Options o;
    o.application = exe;
    o.commandLine = QuoteArgument(exe) + L" " + kChildSwitch + L" " + static_cast<wchar_t>(request.mode) +
                    (request.typeLib ? L"t " : L" ") +
                    QuoteArgument(request.module);
    for (const EntryCall& c : request.calls) o.commandLine += L" " + QuoteArgument(CallArgument(c));
    o.workingFolder = ProgramFolder();
    o.console = launch::Console::None;
    o.output = write.get();
    o.job = job.get();
    launch::Started child = launch::Start(o);
    const ULONGLONG started = GetTickCount64();
    write.reset();  // the child holds the only writing end: its end is the pipe's end
    if (!child) {
        // The other build on a system that cannot run it (a 32-bit Windows, or one without 32-bit support).
        const bool cannotRun = child.error == ERROR_BAD_EXE_FORMAT || child.error == ERROR_EXE_MACHINE_TYPE_MISMATCH;
        record.result = {bits != own && cannotRun ? RunOutcome::NoBuild : RunOutcome::NotStarted, child.error};
        return record;
    }
    auto* param = new std::shared_ptr<PipeRead>(read);
    raii::Handle reader(CreateThread(nullptr, 0, &ReadPipe, param, 0, nullptr));
    if (!reader) {
        delete param;
        TerminateJobObject(job.get(), ERROR_CANCELLED);
        TerminateProcess(child.process.get(), ERROR_CANCELLED);
        record.result = {RunOutcome::NotStarted, GetLastError()};
        return record;
    }

    DWORD wait = 0;
    if (!WaitOrAbandon(job, child.process, started, waitMs, wait)) {
        record.result = {RunOutcome::TimedOut, wait};
        return record;
    }
    // Something the module started may hold the pipe's writing end: what came is all there is.
    if (WaitForSingleObject(reader.get(), 2000) == WAIT_TIMEOUT) {
        CancelSynchronousIo(reader.get());
        WaitForSingleObject(reader.get(), 2000);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(child.process.get(), &exitCode);
    if (!DecodeRunRecord(read->bytes, record)) record = RunRecord{{RunOutcome::EndedProcess, exitCode}, {}, {}};
    return record;
}

RunResult RunServer(const std::wstring& server, bool unregister, bool perUser, DWORD waitMs) {
    raii::Handle job = ChildJob();
    launch::Options o;
    o.application = server;
    o.commandLine = QuoteArgument(server) + L" " + ServerSwitch(unregister, perUser);
    o.workingFolder = paths::Folder(server);
    o.console = launch::Console::None;
    o.job = job.get();
    launch::Started child = launch::Start(o);
    const ULONGLONG started = GetTickCount64();
    if (!child) return {RunOutcome::LoadFailed, child.error};
    DWORD wait = 0, exitCode = 0;
    if (!WaitOrAbandon(job, child.process, started, waitMs, wait)) return {RunOutcome::TimedOut, wait};
    GetExitCodeProcess(child.process.get(), &exitCode);
    return {exitCode == 0 ? RunOutcome::Completed : RunOutcome::Failed, exitCode};
}

bool IsChildRun(const std::vector<std::wstring>& args) { return !args.empty() && args[0] == kChildSwitch; }

int RunAsChild(const std::vector<std::wstring>& args) {
    // A module's crash ends this process with its code, without a box nobody may answer.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    SetDllDirectoryW(L"");
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (args.size() < 4 || args[1].empty() || args[1].size() > 2) return ERROR_BAD_ARGUMENTS;
    const bool typeLib = args[1].size() == 2 && args[1][1] == L't';
    const std::wstring& module = args[2];
    std::vector<EntryCall> calls;
    for (size_t i = 3; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        if (a == L"r") calls.push_back({EntryPoint::Register, true, {}});
        else if (a == L"u") calls.push_back({EntryPoint::Unregister, true, {}});
        else if (a.size() >= 2 && a[0] == L'i') calls.push_back({EntryPoint::Install, a[1] == L'+', a.substr(2)});
        else return ERROR_BAD_ARGUMENTS;
    }
    RunRecord record;
    switch (static_cast<ChildMode>(args[1][0])) {
    case ChildMode::Plain:
        record.result = RegistrationRunner(module, calls, {}, typeLib ? TypeLibRun::Machine : TypeLibRun::No).Run(INFINITE);
        break;
    case ChildMode::CurrentUser: record.result = RunForCurrentUserHere(module, calls, &record.notWritten, typeLib); break;
    case ChildMode::Export: record.result = CaptureRegistration(module, record.captured, typeLib); break;
    default: return ERROR_BAD_ARGUMENTS;
    }
    Write(out, EncodeRunRecord(record));
    return 0;
}

}  // namespace pellamy
