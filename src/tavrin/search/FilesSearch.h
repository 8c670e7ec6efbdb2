// Find in Files on a worker: the walk runs there and its hits are handed to the window's thread in
// batches (the first at once, then about every 50 ms), then its summary line. A new search replaces
// a running one, whose later batches are then dropped.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "FindInFiles.h"

class FilesSearch {
public:
    // Hands a closure to the window's thread (false when the window is gone).
    using Post = std::function<bool(std::function<void()>)>;
    struct Sink {
        std::function<void(std::vector<findfiles::Hit>&&)> hits;
        std::function<void(const std::wstring& summary)> finished;
    };

    ~FilesSearch() { Stop(); }
    void Start(findfiles::Request request, search::Pattern pattern, Post post, Sink sink);
    // The running search ends between two files and says so in its summary.
    void Stop();
    bool Running() const { return done_ && !*done_; }

private:
    std::shared_ptr<std::atomic<bool>> stop_;
    std::shared_ptr<std::atomic<bool>> done_;
    std::shared_ptr<std::atomic<unsigned>> current_ = std::make_shared<std::atomic<unsigned>>(0);
};
