// Another program's changes to the open file: the document's folder watched on a worker, and the
// check the window runs when it becomes active or the folder reports a change.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "Document.h"
#include "Raii.h"

class OutsideChanges {
public:
    OutsideChanges() = default;
    ~OutsideChanges() { Stop(); }
    OutsideChanges(const OutsideChanges&) = delete;
    OutsideChanges& operator=(const OutsideChanges&) = delete;

    // Watches the folder of `path` (nothing for an empty one), posting `message` to `owner` when it
    // reports a change; one message waits at a time, however many changes come. A folder that gives
    // no reports (some network shares) is still checked on activation.
    void Follow(HWND owner, UINT message, const std::wstring& path);
    void Stop();
    // The check: asks only while `owner` is the active window, one question at a time; a reload
    // keeps the caret's line and the first visible line of `edit`.
    Document::DiskChange Check(Document& doc, HWND owner, HWND edit);
    // The status bar's standing note: "<name> no longer exists on disk" while that is so, else "Status".
    static std::wstring Note(const Document& doc);

private:
    void Watch(HANDLE change, HWND owner, UINT message);

    std::wstring folder_;
    raii::Handle stop_;
    std::thread worker_;
    std::atomic<bool> posted_{false};
    bool checking_ = false;
};
