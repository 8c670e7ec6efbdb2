// Answers real modal dialogs of the test's own process from a second thread: it waits for a
// visible dialog box (#32770) and runs an action on it, e.g. pressing a button.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
    explicit DialogAnswerer(std::vector<Action> actions, DWORD timeoutMs = 15000, DWORD processId = 0);
    ~DialogAnswerer();  // waits for the thread
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // What the dialogs showed, in the order they appeared; the one dialog as "title: text".
    std::vector<SeenDialog> Seen();
    std::wstring One();
    size_t Answered() const { return answered_; }

    static Action Press(int buttonId);
    // Types a file name into a file dialog, presses its OK button and waits for it to close.
    static Action TypeFileName(const std::wstring& path);

private:
    void Run(DWORD timeoutMs);
    std::vector<Action> actions_;
    std::vector<SeenDialog> seen_;
    std::atomic<size_t> answered_{0};
    std::atomic<bool> stop_{false};
    DWORD processId_;
    std::mutex lock_;
    std::thread thread_;
};

// The text of a window, across threads.
std::wstring WindowText(HWND hwnd);
