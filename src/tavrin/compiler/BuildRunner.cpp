#include "BuildRunner.h"

#include <algorithm>
#include <iterator>

#include "BuildOutput.h"
#include "Launch.h"
#include "Paths.h"
#include "Texts.h"
#include "basTavrin.h"

namespace {

struct EnvironmentStrings {
    wchar_t* p = GetEnvironmentStringsW();
    ~EnvironmentStrings() { if (p) FreeEnvironmentStringsW(p); }
};

launch::Options OptionsOf(const BuildCommand& command, launch::Console console) {
    launch::Options o;
    o.application = command.application;
    o.commandLine = command.commandLine;
    o.workingFolder = command.workingDirectory;
    o.environment = command.environment;
    o.console = console;
    return o;
}

}  // namespace

std::vector<std::wstring> ProcessEnvironment() {
    std::vector<std::wstring> out;
    EnvironmentStrings env;
    for (const wchar_t* e = env.p; e && *e; e += wcslen(e) + 1) out.emplace_back(e);
    return out;
}

launch::Started StartInConsole(const BuildCommand& command) {
    return launch::Start(OptionsOf(command, launch::Console::New));
}

launch::Started StartCompile(const CompileCommand& command) {
    if (!paths::IsFile(command.batchPath)) {
        launch::Started missing;
        missing.error = ERROR_FILE_NOT_FOUND;
        return missing;
    }
    launch::Options o;
    o.application = command.application;
    o.commandLine = command.commandLine;
    o.console = launch::Console::New;
    o.show = command.showCmd;
    return launch::Start(o);
}

BuildRunner::BuildRunner(LinesEvent lines, FinishedEvent finished)
    : onLines_(std::move(lines)), onFinished_(std::move(finished)) {}

BuildRunner::~BuildRunner() {
    Stop();
    Join();
}

void BuildRunner::Join() {
    if (reader_.joinable()) reader_.join();
}

BuildStart BuildRunner::Start(const BuildCommand& command) {
    if (running_) return {texts::BuildAlreadyRunning};
    Join();
    const std::wstring cannot = texts::BuildCannotStart + command.application + L"\n\n";
    raii::Handle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits)))
        return {cannot + ReasonText(GetLastError())};
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    raii::Handle readEnd, writeEnd;
    if (!CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0) ||
        !SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0))
        return {cannot + ReasonText(GetLastError())};
    raii::File nul(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr));
    launch::Options o = OptionsOf(command, launch::Console::None);
    o.input = nul ? nul.get() : nullptr;
    o.output = o.error = writeEnd.get();
    o.job = job.get();
    launch::Started started = launch::Start(o);
    if (!started) return {cannot + ReasonText(started.error)};
    // Where jobs do not nest, Stop ends the interpreter alone.
    if (!started.inJob) job.reset();
    writeEnd.reset();  // the pipe breaks when the last process of the build lets go of it

    job_ = std::move(job);
    process_ = std::move(started.process);
    pipe_ = std::move(readEnd);
    stopped_ = false;
    batchWaiting_ = false;
    running_ = true;
    reader_ = std::thread(&BuildRunner::Read, this, mailbox_.GetPoster(), ++build_, GetTickCount64());
    return {};
}

void BuildRunner::Stop() {
    if (!running_) return;
    stopped_ = true;
    if (job_) TerminateJobObject(job_.get(), 1);
    else TerminateProcess(process_.get(), 1);
}

// Reads only what the pipe holds, so it never hangs on a pipe that a leftover process (a
// compiler's server) keeps open after the interpreter has ended: the build is over then.
void BuildRunner::Read(uitask::Poster poster, unsigned build, ULONGLONG startTick) {
    const unsigned oem = GetOEMCP();
    LineSplitter splitter;
    std::vector<std::string> lines;
    std::vector<std::wstring> gathered;
    ULONGLONG handed = 0;
    std::vector<char> buffer(8192);
    // The closures run on the window's thread while the runner (whose mailbox they go through) is there.
    auto handOver = [&](bool last) {
        for (const std::string& l : lines) gathered.push_back(DecodeLine(l, oem));
        lines.clear();
        if (gathered.empty()) return;
        const ULONGLONG now = GetTickCount64();
        if (!last && (batchWaiting_ || now - handed < kBatchMs)) return;
        handed = now;
        // The last hand-over goes whole, in batches one after the other.
        do {
            const size_t n = std::min(gathered.size(), kBatchLines);
            std::vector<std::wstring> batch(std::make_move_iterator(gathered.begin()),
                                            std::make_move_iterator(gathered.begin() + static_cast<ptrdiff_t>(n)));
            gathered.erase(gathered.begin(), gathered.begin() + static_cast<ptrdiff_t>(n));
            batchWaiting_ = true;
            poster.Post([this, build, batch = std::move(batch)]() mutable {
                batchWaiting_ = false;
                if (build == build_ && onLines_) onLines_(batch);
            });
        } while (last && !gathered.empty());
    };
    auto readSome = [&](DWORD want) {
        DWORD got = 0;
        if (!ReadFile(pipe_.get(), buffer.data(), want, &got, nullptr) || got == 0) return false;
        splitter.Add(std::string_view(buffer.data(), got), lines);
        handOver(false);
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
        handOver(false);  // a pause in the output: what was gathered goes now
        if (exited) break;
        exited = WaitForSingleObject(process_.get(), 20) == WAIT_OBJECT_0;
    }
    splitter.Finish(lines);
    handOver(true);
    WaitForSingleObject(process_.get(), INFINITE);
    BuildResult result;
    GetExitCodeProcess(process_.get(), &result.exitCode);
    result.seconds = static_cast<double>(GetTickCount64() - startTick) / 1000.0;
    result.stopped = stopped_;
    if (job_) TerminateJobObject(job_.get(), 1);  // what the build left running
    running_ = false;
    poster.Post([this, build, result] {
        if (build == build_ && onFinished_) onFinished_(result);
    });
}
