// Answers real modal dialogs of the test's own process from a second thread: it waits for a
// visible dialog box (#32770) and runs an action on it, e.g. pressing a button.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// The text of a window, across threads.
inline std::wstring WindowText(HWND hwnd) {
    wchar_t buf[4096];
    LRESULT n = SendMessageW(hwnd, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf));
    return std::wstring(buf, static_cast<size_t>(n));
}

struct SeenDialog {
    std::wstring title;
    std::wstring text;  // the message text of a message box (static id 65535)
};

class DialogAnswerer {
public:
    // Called on the answering thread with the dialog; return true when it was answered.
    using Action = std::function<bool(HWND dialog)>;

    // Answers each dialog that appears, in order, with the next action: dialogs of this process, or
    // of the process processId when it is not 0.
    explicit DialogAnswerer(std::vector<Action> actions, DWORD timeoutMs = 15000, DWORD processId = 0)
        : actions_(std::move(actions)), processId_(processId ? processId : GetCurrentProcessId()),
          thread_([this, timeoutMs] { Run(timeoutMs); }) {}
    ~DialogAnswerer() {  // waits for the thread
        stop_ = true;
        thread_.join();
    }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // What the dialogs showed, in the order they appeared; the one dialog as "title: text".
    std::vector<SeenDialog> Seen() {
        std::lock_guard<std::mutex> hold(lock_);
        return seen_;
    }
    std::wstring One() {
        const std::vector<SeenDialog> seen = Seen();
        return seen.size() == 1 ? seen[0].title + L": " + seen[0].text : std::to_wstring(seen.size()) + L" dialogs";
    }
    size_t Answered() const { return answered_; }

    static Action Press(int buttonId) {
        return [buttonId](HWND dlg) {
            return PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, buttonId))) != FALSE;
        };
    }
    // Types a file name into a file dialog, presses its OK button and waits for it to close.
    static Action TypeFileName(const std::wstring& path) {
        return [path](HWND dlg) {
            Sleep(300);  // the dialog fills the box with the initial name while it starts
            HWND edit = nullptr;
            EnumChildWindows(dlg, &FindNameEdit, reinterpret_cast<LPARAM>(&edit));
            if (!edit) return false;
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
            Press(IDOK)(dlg);
            for (int i = 0; i < 100 && IsWindow(dlg) && IsWindowVisible(dlg); ++i) Sleep(20);
            return !IsWindow(dlg) || !IsWindowVisible(dlg);
        };
    }

private:
    struct FindData {
        DWORD pid;
        const std::set<HWND>* done;
        HWND found;
    };
    static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lp) {
        auto* d = reinterpret_cast<FindData*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        wchar_t cls[16] = {};
        if (pid != d->pid || !IsWindowVisible(hwnd) || d->done->count(hwnd) || !GetClassNameW(hwnd, cls, 16) ||
            std::wstring(cls) != L"#32770")
            return TRUE;
        d->found = hwnd;
        return FALSE;
    }
    // The file name box: the edit inside the name combo (0x47C, in a ComboBoxEx that ignores
    // WM_SETTEXT in some dialogs) or the old-style edit (0x480).
    static BOOL CALLBACK FindNameEdit(HWND h, LPARAM lp) {
        wchar_t cls[16] = {};
        GetClassNameW(h, cls, 16);
        const int id = GetDlgCtrlID(h);
        if ((id == 0x47C || id == 0x480) && wcscmp(cls, L"Edit") == 0) *reinterpret_cast<HWND*>(lp) = h;
        return *reinterpret_cast<HWND*>(lp) == nullptr;
    }
    void Run(DWORD timeoutMs) {
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
            {
                std::lock_guard<std::mutex> hold(lock_);
                seen_.push_back({WindowText(d.found), GetDlgItem(d.found, 0xFFFF) ? WindowText(GetDlgItem(d.found, 0xFFFF)) : L""});
            }
            if (actions_[answered_](d.found)) {
                done.insert(d.found);
                ++answered_;
            }
        }
    }

    std::vector<Action> actions_;
    std::vector<SeenDialog> seen_;
    std::atomic<size_t> answered_{0};
    std::atomic<bool> stop_{false};
    DWORD processId_;
    std::mutex lock_;
    std::thread thread_;
};
