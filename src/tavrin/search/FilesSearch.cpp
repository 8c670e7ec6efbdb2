#include "FilesSearch.h"

#include <chrono>
#include <system_error>
#include <thread>

void FilesSearch::Stop() {
    if (stop_) *stop_ = true;
}

void FilesSearch::Start(findfiles::Request request, search::Pattern pattern, Post post, Sink sink) {
    Stop();
    const unsigned generation = ++*current_;
    stop_ = std::make_shared<std::atomic<bool>>(false);
    done_ = std::make_shared<std::atomic<bool>>(false);
    auto current = current_;
    // A batch posted by a search that was replaced since is dropped on the window's side.
    auto deliver = [post, current, generation](std::function<void()> task) {
        post([current, generation, task = std::move(task)] {
            if (*current == generation) task();
        });
    };
    auto work = [request = std::move(request), pattern = std::move(pattern), sink, deliver,
                 stop = stop_, done = done_] {
        using Clock = std::chrono::steady_clock;
        const auto started = Clock::now();
        auto lastPost = started;
        bool first = true;
        std::vector<findfiles::Hit> batch;
        auto flush = [&] {
            if (batch.empty()) return;
            deliver([hits = std::make_shared<std::vector<findfiles::Hit>>(std::move(batch)), sink]() mutable {
                sink.hits(std::move(*hits));
            });
            batch.clear();
            lastPost = Clock::now();
            first = false;
        };
        auto system = findfiles::SystemFileSystem();
        const findfiles::Totals totals = findfiles::Search(
            *system, request, pattern,
            [&](std::vector<findfiles::Hit>&& hits) {
                for (auto& h : hits) batch.push_back(std::move(h));
                if (first || Clock::now() - lastPost >= std::chrono::milliseconds(50)) flush();
            },
            *stop);
        flush();
        const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        *done = true;
        deliver([sink, line = findfiles::SummaryLine(totals, seconds)] { sink.finished(line); });
    };
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error&) {
        *done_ = true;
        findfiles::Totals none;
        none.stopped = true;
        deliver([sink, line = findfiles::SummaryLine(none, 0)] { sink.finished(line); });
    }
}
