#include <windows.h>

#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

#include "Raii.h"
#include "SearchRun.h"
#include "Texts.h"

namespace search {

namespace {

struct Shared {
    raii::Handle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> stop{false};  // set by the window's thread as it stops waiting
};

std::atomic<int> workers{0};  // searches still running on a worker

bool IsInput(UINT msg) {
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
           (msg >= WM_NCMOUSEMOVE && msg <= WM_NCMBUTTONDBLCLK);
}

}  // namespace

bool RunStoppable(Work work, const std::function<void()>& running) {
    auto shared = std::make_shared<Shared>();
    if (!shared->done) {  // no event: no waiting either
        work(shared->stop);
        return true;
    }
    ++workers;
    try {
        std::thread([shared, work]() mutable {
            {
                const auto search = std::move(work);
                const auto state = std::move(shared);
                search(state->stop);
                SetEvent(state->done.get());
            }  // what the search held is let go before it counts as ended
            --workers;
        }).detach();
    } catch (const std::system_error&) {  // no thread to be had: the search runs here
        --workers;
        work(shared->stop);
        return true;
    }
    const ULONGLONG started = GetTickCount64();
    bool told = false;
    HANDLE done = shared->done.get();
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &done, FALSE, told ? INFINITE : 100, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) return true;
        if (!told && GetTickCount64() - started >= 2000) {
            told = true;
            if (running) running();
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                shared->stop = true;
                return false;
            }
            if (IsInput(msg.message)) {
                // Other input waits for the search's end by being dropped: a click must not start another.
                if (told && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
                    shared->stop = true;
                    return false;
                }
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

bool WorkerLeft() { return workers > 0; }

std::wstring RunSearch(const Pattern& pattern, Work work, const std::function<void()>& running) {
    auto reason = std::make_shared<std::wstring>();
    Work guarded = [reason, work = std::move(work)](const std::atomic<bool>& stop) {
        try {
            work(stop);
        } catch (const PatternTooHard& e) {
            *reason = e.reason;
        }
    };
    if (!pattern.Of().regex) {
        const std::atomic<bool> never{false};
        guarded(never);
        return *reason;
    }
    if (!RunStoppable(std::move(guarded), running)) return texts::SearchStopped;
    return *reason;
}

}  // namespace search
