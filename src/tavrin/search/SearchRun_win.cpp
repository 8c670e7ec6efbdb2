#include <windows.h>

#include <memory>

#include "SearchRun.h"
#include "Texts.h"
#include "UiTask.h"

namespace search {

bool RunStoppable(Work work, const std::function<void()>& running) {
    bool told = false;
    const ULONGLONG started = GetTickCount64();
    uitask::Waiting waiting;
    waiting.tick = [&] {
        if (told || GetTickCount64() - started < 2000) return;
        told = true;
        if (running) running();
    };
    waiting.escStops = [&] { return told; };
    waiting.giveUp = true;
    return uitask::RunWhileDrawn(std::move(work), waiting);
}

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
