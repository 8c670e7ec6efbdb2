// Hands work from any thread to the thread that owns a mailbox: a worker posts a closure and the
// owner's thread runs it from its message loop. Closures posted after the mailbox is gone, and those
// still waiting when it goes, are destroyed without running, so nothing they hold leaks and nothing
// runs against an owner that no longer exists.
#pragma once
#include <functional>
#include <memory>

namespace uitask {

struct Shared;

// What a worker keeps to post to a mailbox; it may outlive the mailbox.
class Poster {
public:
    Poster() = default;
    // False (the closure destroyed unrun) when the mailbox is gone.
    bool Post(std::function<void()> task) const;

private:
    friend class Mailbox;
    explicit Poster(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    std::shared_ptr<Shared> shared_;
};

// Made and destroyed on the thread whose message loop runs the closures. However many closures
// wait, one message stands for them in that thread's queue, so a busy worker never fills it and
// the user's input is taken between two batches.
class Mailbox {
public:
    Mailbox();
    ~Mailbox();
    Mailbox(const Mailbox&) = delete;
    Mailbox& operator=(const Mailbox&) = delete;

    Poster GetPoster() const { return Poster(shared_); }
    bool Post(std::function<void()> task) const { return GetPoster().Post(std::move(task)); }

private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace uitask
