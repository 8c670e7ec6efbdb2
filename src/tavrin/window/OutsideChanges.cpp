#include "OutsideChanges.h"

#include "Paths.h"
#include "Scintilla.h"
#include "Texts.h"

namespace {

struct ChangeTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { FindCloseChangeNotification(h); }
};

}  // namespace

void OutsideChanges::Follow(HWND owner, UINT message, const std::wstring& path) {
    const std::wstring folder = path.empty() ? std::wstring() : paths::Folder(path);
    if (folder == folder_ && (worker_.joinable() || folder.empty())) return;
    Stop();
    folder_ = folder;
    if (folder.empty()) return;
    raii::Unique<ChangeTraits> change(FindFirstChangeNotificationW(
        folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE));
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!change || !stop_) return;  // checked on activation alone
    worker_ = std::thread([this, h = change.release(), owner, message] {
        raii::Unique<ChangeTraits> owned(h);
        Watch(owned.get(), owner, message);
    });
}

void OutsideChanges::Watch(HANDLE change, HWND owner, UINT message) {
    const HANDLE waits[] = {stop_.get(), change};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        if (!posted_.exchange(true)) PostMessageW(owner, message, 0, 0);
        if (!FindNextChangeNotification(change)) return;  // the folder went (a drive removed)
    }
}

void OutsideChanges::Stop() {
    if (stop_) SetEvent(stop_.get());
    if (worker_.joinable()) worker_.join();
    stop_.reset();
    folder_.clear();
}

Document::DiskChange OutsideChanges::Check(Document& doc, HWND owner, HWND edit) {
    posted_ = false;
    // While the question is up, activations and reports come again: they wait for its answer.
    if (checking_) return Document::DiskChange::None;
    checking_ = true;
    const bool active = GetForegroundWindow() == owner && IsWindowEnabled(owner);
    const LRESULT firstLine = SendMessageW(edit, SCI_GETFIRSTVISIBLELINE, 0, 0);
    const LRESULT caretLine = SendMessageW(edit, SCI_LINEFROMPOSITION, SendMessageW(edit, SCI_GETCURRENTPOS, 0, 0), 0);
    const Document::DiskChange r = doc.CheckDisk(active);
    if (r == Document::DiskChange::Reloaded) {
        SendMessageW(edit, SCI_GOTOLINE, caretLine, 0);
        SendMessageW(edit, SCI_SETFIRSTVISIBLELINE, firstLine, 0);
    }
    checking_ = false;
    return r;
}

std::wstring OutsideChanges::Note(const Document& doc) {
    const bool gone = !doc.DocumentPath.empty() && doc.DiskIdentity.exists && !doc.RaisedIdentity.exists;
    return gone ? doc.DocumentTitle + texts::GoneFromDisk : texts::StatusPanel;
}
