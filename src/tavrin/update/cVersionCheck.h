// The version-check component of the web update window: fetches the version file (see
// VersionFile.h) over HTTP or HTTPS on a worker thread and raises one of three events on the
// thread that called Check, so the window stays responsive while the server answers.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "UiTask.h"

class cVersionCheck {
public:
    // Failure codes of the CheckFailed event.
    static constexpr int32_t kCannotConnect = -1;       // the server cannot be reached
    static constexpr int32_t kFileNotFound = -2;        // no file there, or not a version file of ours
    static constexpr int32_t kBadRunningVersion = -3;   // `version` is not a version number

    cVersionCheck();
    ~cVersionCheck();
    cVersionCheck(const cVersionCheck&) = delete;
    cVersionCheck& operator=(const cVersionCheck&) = delete;

    std::wstring url;               // address of the version file
    std::wstring version;           // the running version, e.g. 1.35
    bool autolaunchbrowser = true;  // a newer version also opens its download address
    // Reads the file at an address (FetchVersionFile): 0 with the body, or a failure code.
    // Runs on the worker; tests and the screenshot tool give canned answers here.
    std::function<int32_t(const std::wstring& url, std::string& body)> fetch;

    // Events.
    std::function<void(int32_t code)> CheckFailed;
    // Available version, download address, information text, address of the version file.
    std::function<void(const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&)>
        NewVersion;
    std::function<void()> UpToDate;

    // Starts a check; call it on a window thread (the events arrive there).
    void Check();
    // Answers of checks still running are dropped.
    void Cancel();
    // Checks started and not yet answered.
    int Pending() const { return pending_; }

    struct Answer;

private:
    void Deliver(const Answer& a);

    std::unique_ptr<uitask::Mailbox> mailbox_;  // made by the first Check, on its thread
    std::shared_ptr<std::atomic<unsigned>> generation_;
    int pending_ = 0;
};

// IsWebAddress, and the system's address parser finds an http or https address with a host in it.
bool IsParsedWebAddress(const std::wstring& url);

// Fetches a small file over HTTP or HTTPS: 0 with the body, or kCannotConnect / kFileNotFound.
int32_t FetchVersionFile(const std::wstring& url, std::string& body);
