#include "DialogAnswerer.h"

#include <set>

std::wstring WindowText(HWND hwnd) {
    wchar_t buf[4096];
    LRESULT n = SendMessageW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf));
    return std::wstring(buf, static_cast<size_t>(n));
}

namespace {

struct FindData {
    DWORD pid;
    const std::set<HWND>* done;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lp) {
    auto* d = reinterpret_cast<FindData*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != d->pid || !IsWindowVisible(hwnd) || d->done->count(hwnd)) return TRUE;
    wchar_t cls[16];
    if (GetClassNameW(hwnd, cls, 16) && std::wstring(cls) == L"#32770") {
        d->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

DialogAnswerer::DialogAnswerer(std::vector<Action> actions, DWORD timeoutMs, DWORD processId)
    : actions_(std::move(actions)), processId_(processId ? processId : GetCurrentProcessId()) {
    InitializeCriticalSection(&lock_);
    thread_ = std::thread([this, timeoutMs] { Run(timeoutMs); });
}

DialogAnswerer::~DialogAnswerer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    DeleteCriticalSection(&lock_);
}

std::vector<SeenDialog> DialogAnswerer::Seen() {
    EnterCriticalSection(&lock_);
    auto copy = seen_;
    LeaveCriticalSection(&lock_);
    return copy;
}

void DialogAnswerer::Run(DWORD timeoutMs) {
    std::set<HWND> done;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!stop_ && answered_ < actions_.size() && GetTickCount64() < deadline) {
        FindData d{processId_, &done, nullptr};
        EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&d));
        if (!d.found) {
            Sleep(20);
            continue;
        }
        Sleep(50);  // let the dialog finish its initialisation
        SeenDialog seen{WindowText(d.found), {}};
        if (HWND text = GetDlgItem(d.found, 0xFFFF)) seen.text = WindowText(text);
        EnterCriticalSection(&lock_);
        seen_.push_back(seen);
        LeaveCriticalSection(&lock_);
        if (actions_[answered_](d.found)) {
            done.insert(d.found);
            ++answered_;
        }
    }
}

DialogAnswerer::Action DialogAnswerer::Press(int buttonId) {
    return [buttonId](HWND dlg) {
        HWND button = GetDlgItem(dlg, buttonId);
        return PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                            reinterpret_cast<LPARAM>(button)) != FALSE;
    };
}

DialogAnswerer::Action DialogAnswerer::TypeFileName(const std::wstring& path) {
    return [path](HWND dlg) {
        // The file name box: combo 0x47C (edit inside) in the new-style dialog, edit 0x480 in the old.
        HWND box = GetDlgItem(dlg, 0x47C);
        if (!box) box = GetDlgItem(dlg, 0x480);
        if (!box) return false;
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        return PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK))) != FALSE;
    };
}
