// Hands work from any thread to the thread that owns a mailbox (a worker posts a closure and the
// owner's thread runs it from its message loop), and runs work on a worker while the window's
// thread waits for it with its windows drawn. Closures posted after the mailbox is gone, and those
// still waiting when it goes, are destroyed without running, so nothing they hold leaks and nothing
// runs against an owner that no longer exists.
#pragma once
#include <atomic>
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

namespace uitask {

// Work on a worker; `stop` is set when the window's thread no longer wants it to go on.
using Work = std::function<void(const std::atomic<bool>& stop)>;

struct Waiting {
    std::function<void()> tick;      // every 100 ms on the waiting thread (progress, a note)
    std::function<bool()> escStops;  // whether Esc stops the work now; never when empty
    bool giveUp = false;             // once stopped, return at once rather than wait for the worker
};

// Runs `work` on a worker while this thread keeps its windows drawn and its posted work running;
// their input is dropped meanwhile (a click must not start something else). True when the work
// ran to its end. Esc (as `escStops` allows) or the end of the program stops it: then it waits for
// the worker to see `stop` (after Esc still drawing the windows), or with `giveUp` leaves it to
// finish alone, so the work must own everything it touches. Without a thread to be had the work
// runs here.
bool RunWhileDrawn(Work work, const Waiting& waiting);

// Whether work given up on still runs. The program then ends without its usual tear-down, which
// would free what that worker is still using.
bool WorkerLeft();

}  // namespace uitask
