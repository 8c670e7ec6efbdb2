// Build: runs the build command with its output in a pipe, read on a thread of its own; every
// line and then the end are posted to a window, so the window's thread never waits.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BuildCommand.h"
#include "Raii.h"

// What a build's message carries in WPARAM; LPARAM holds the heap object the receiver takes over.
enum class BuildEvent : WPARAM {
    Line = 1,      // LPARAM: std::wstring* (one line of output, decoded)
    Finished = 2,  // LPARAM: BuildResult*
};

struct BuildResult {
    unsigned long exitCode = 0;
    double seconds = 0;
    bool stopped = false;  // ended by Stop (or the runner's end), not by itself
};

// The receiver's side: each message's object, owned from here on.
std::unique_ptr<std::wstring> TakeBuildLine(LPARAM lp);
std::unique_ptr<BuildResult> TakeBuildResult(LPARAM lp);
// Frees the build messages still queued for a window that goes away.
void DiscardBuildMessages(HWND notify, UINT msg);

// This process's environment as NAME=value entries, for MakeBuildCommand.
std::vector<std::wstring> ProcessEnvironment();

// Starts a command in a console window of its own, without waiting (Tools > Run); false with the
// system's error code.
bool StartInConsole(const BuildCommand& command, unsigned long& error);

class BuildRunner {
public:
    BuildRunner() = default;
    ~BuildRunner();  // stops the build and waits for the reader
    BuildRunner(const BuildRunner&) = delete;
    BuildRunner& operator=(const BuildRunner&) = delete;

    // Starts the command with no window, its output and errors into one pipe and no input, in a
    // job that ends every process it starts. False with a message for the user in `error`.
    bool Start(HWND notify, UINT msg, const BuildCommand& command, std::wstring& error);
    // Ends every process of the build; the end is still posted. Returns at once.
    void Stop();
    // From Start until the reader has posted the end.
    bool Running() const { return running_; }

private:
    void Read(HWND notify, UINT msg, ULONGLONG startTick);
    void Join();

    raii::Handle job_, process_, pipe_;
    std::thread reader_;
    std::atomic<bool> running_{false}, stopped_{false};
};
