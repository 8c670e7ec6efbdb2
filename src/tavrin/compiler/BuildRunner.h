// Build: runs the build command with its output in a pipe, read on a thread of its own. The reader
// gathers the lines and hands them to the window's thread in batches, one batch at a time and at
// most every kBatchMs, so the window takes the user's input between two batches; then the end.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "BuildCommand.h"
#include "CompileCommand.h"
#include "Launch.h"
#include "Raii.h"
#include "UiTask.h"

struct BuildResult {
    unsigned long exitCode = 0;
    double seconds = 0;
    bool stopped = false;  // ended by Stop (or the runner's end), not by itself
};

// Whether a build started; when it did not, why, as a message for the user.
struct BuildStart {
    std::wstring failure;
    explicit operator bool() const { return failure.empty(); }
};

// This process's environment as NAME=value entries, for MakeBuildCommand.
std::vector<std::wstring> ProcessEnvironment();

// Starts a command in a console window of its own, without waiting (Tools > Run).
launch::Started StartInConsole(const BuildCommand& command);
// Tools > "C++ with Borland Compiler 5.5"; a missing batch file gives ERROR_FILE_NOT_FOUND untried.
launch::Started StartCompile(const CompileCommand& command);

class BuildRunner {
public:
    static constexpr unsigned kBatchMs = 50;
    // At most this many lines a batch, so taking one stays short (the rest follows in the next).
    static constexpr size_t kBatchLines = 2000;

    // Both are called on the thread that made the runner, for the latest build only: the messages
    // of a build that was stopped and followed by another are dropped.
    using LinesEvent = std::function<void(std::vector<std::wstring>& lines)>;
    using FinishedEvent = std::function<void(const BuildResult& result)>;
    BuildRunner(LinesEvent lines, FinishedEvent finished);
    ~BuildRunner();  // stops the build and waits for the reader; nothing is called after
    BuildRunner(const BuildRunner&) = delete;
    BuildRunner& operator=(const BuildRunner&) = delete;

    // Starts the command with no window, its output and errors into one pipe and no input, in a
    // job that ends every process it starts.
    BuildStart Start(const BuildCommand& command);
    // Ends every process of the build; the end is still reported. Returns at once.
    void Stop();
    // From Start until the reader has handed over the end.
    bool Running() const { return running_; }

private:
    void Read(uitask::Poster poster, unsigned build, ULONGLONG startTick);
    void Join();

    LinesEvent onLines_;
    FinishedEvent onFinished_;
    raii::Handle job_, process_, pipe_;
    std::thread reader_;
    std::atomic<bool> running_{false}, stopped_{false};
    std::atomic<bool> batchWaiting_{false};  // a batch handed over and not yet taken
    unsigned build_ = 0;                      // the latest build's number (window thread)
    uitask::Mailbox mailbox_;
};
