#include "UiTask.h"

#include <windows.h>

#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#include "Raii.h"

namespace uitask {

namespace {
constexpr UINT kRunTasks = WM_APP + 0x3A1;
constexpr const wchar_t* kClass = L"TavrinUiTaskMailbox";
}  // namespace

struct Shared {
    std::mutex lock;
    std::deque<std::function<void()>> tasks;
    HWND window = nullptr;  // null once the mailbox is gone
    bool signalled = false;   // a message for the waiting tasks is in the queue
};

namespace {

LRESULT CALLBACK MailboxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != kRunTasks) return DefWindowProcW(h, msg, wp, lp);
    auto* shared = reinterpret_cast<Shared*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!shared) return 0;
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard<std::mutex> g(shared->lock);
        batch.swap(shared->tasks);
        shared->signalled = false;
    }
    // A task may destroy the mailbox (and this window): the rest are then dropped.
    while (!batch.empty()) {
        if (!IsWindow(h) || GetWindowLongPtrW(h, GWLP_USERDATA) == 0) break;
        std::function<void()> task = std::move(batch.front());
        batch.pop_front();
        task();
    }
    return 0;
}

HWND MakeWindow() {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(inst, kClass, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = MailboxProc;
        wc.hInstance = inst;
        wc.lpszClassName = kClass;
        RegisterClassExW(&wc);
    }
    return CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
}

}  // namespace

bool Poster::Post(std::function<void()> task) const {
    if (!shared_) return false;
    {
        std::unique_lock<std::mutex> g(shared_->lock);
        if (shared_->window) {
            shared_->tasks.push_back(std::move(task));
            if (shared_->signalled) return true;
            // One message per batch; should it fail (a full queue), the next post tries again.
            shared_->signalled = PostMessageW(shared_->window, kRunTasks, 0, 0) != FALSE;
            return true;
        }
    }
    return false;  // `task` is destroyed here, on the worker, outside the lock
}

Mailbox::Mailbox() : shared_(std::make_shared<Shared>()) {
    HWND h = MakeWindow();
    if (!h) return;
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shared_.get()));
    std::lock_guard<std::mutex> g(shared_->lock);
    shared_->window = h;
}

Mailbox::~Mailbox() {
    std::deque<std::function<void()>> dropped;
    HWND h;
    {
        std::lock_guard<std::mutex> g(shared_->lock);
        h = shared_->window;
        shared_->window = nullptr;
        dropped.swap(shared_->tasks);
    }
    if (h) {
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        DestroyWindow(h);
    }
}

}  // namespace uitask

namespace uitask {

namespace {

std::atomic<int> workers{0};  // work still running on a worker

bool IsInput(UINT msg) {
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
           (msg >= WM_NCMOUSEMOVE && msg <= WM_NCMBUTTONDBLCLK);
}

struct WorkState {
    raii::Handle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> stop{false};
};

}  // namespace

bool RunWhileDrawn(Work work, const Waiting& waiting) {
    auto state = std::make_shared<WorkState>();
    if (!state->done) {  // no event: no waiting either
        work(state->stop);
        return true;
    }
    ++workers;
    try {
        std::thread([state, work]() mutable {
            {
                const auto run = std::move(work);
                const auto held = std::move(state);
                run(held->stop);
                SetEvent(held->done.get());
            }  // what the work held is let go before it counts as ended
            --workers;
        }).detach();
    } catch (const std::system_error&) {  // no thread to be had
        --workers;
        work(state->stop);
        return true;
    }
    HANDLE done = state->done.get();
    // The program ends: the worker is told, then left alone or waited for.
    const auto ended = [&] {
        state->stop = true;
        // Messages sent by the worker are still answered, or a worker waiting on one would never end.
        while (!waiting.giveUp && MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        return false;
    };
    // Esc: the worker is told, and while it winds up (a step it cannot break off, such as taking the
    // memory for a big text, lasts seconds) the windows go on being drawn, their input dropped.
    bool stopped = false;
    for (ULONGLONG last = GetTickCount64();;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &done, FALSE, 100, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) return !stopped;
        if (GetTickCount64() - last >= 100) {
            last = GetTickCount64();
            if (waiting.tick && !stopped) waiting.tick();
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return ended();
            }
            if (IsInput(msg.message)) {
                if (!stopped && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && waiting.escStops &&
                    waiting.escStops()) {
                    state->stop = stopped = true;
                    if (waiting.giveUp) return false;
                }
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

bool WorkerLeft() { return workers > 0; }

}  // namespace uitask
