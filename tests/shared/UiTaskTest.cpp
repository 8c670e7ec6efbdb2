// The worker-to-window hand-over: closures run on the mailbox's thread in the order posted, and
// none runs or stays behind once the mailbox is gone.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "TestEnv.h"
#include "UiTask.h"

namespace {

TEST(UiTask, RunsOnTheOwnersThreadInOrderAndNothingAfterTheMailboxGoes) {
    const DWORD owner = GetCurrentThreadId();
    std::vector<int> ran;
    std::vector<DWORD> threads;
    auto held = std::make_shared<int>(0);  // its use count shows what the closures still hold
    uitask::Poster late;
    {
        uitask::Mailbox box;
        late = box.GetPoster();
        std::thread worker([&, poster = box.GetPoster()] {
            for (int i = 0; i < 1000; ++i)
                poster.Post([&, i] {
                    ran.push_back(i);
                    threads.push_back(GetCurrentThreadId());
                });
        });
        worker.join();
        ASSERT_TRUE(testenv::PumpUntil([&] { return ran.size() == 1000; }, 5000));
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(ran[static_cast<size_t>(i)], i);
        EXPECT_EQ(std::count(threads.begin(), threads.end(), owner), 1000);
        // Still waiting when the mailbox goes: dropped unrun, and what they held is let go.
        box.Post([&, held] { ran.push_back(-1); });
        EXPECT_EQ(held.use_count(), 2);
    }
    EXPECT_EQ(held.use_count(), 1);
    EXPECT_FALSE(late.Post([&, held] { ran.push_back(-2); }));
    EXPECT_EQ(held.use_count(), 1);
    testenv::PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ran.size(), 1000u);
}

}  // namespace
