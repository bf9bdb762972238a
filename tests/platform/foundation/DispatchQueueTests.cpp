#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <memory>
#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"

namespace {

using fnd::DispatchQueue;

TEST(DispatchQueue, RunsTasksInOrderOnOneWorkerThreadAndFinishesThemWhenDestroyed)
{
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    {
        DispatchQueue queue("test.serial");
        EXPECT_EQ(queue.label(), "test.serial");
        EXPECT_FALSE(queue.isCurrent());
        for (int i = 0; i < 100; ++i)
            queue.async([&, i] {
                order.push_back(i);
                threads.push_back(std::this_thread::get_id());
            });
    }
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    EXPECT_NE(threads.front(), std::this_thread::get_id());
    EXPECT_EQ(std::count(threads.begin(), threads.end(), threads.front()), 100);
}

TEST(DispatchQueue, QueueReleasedByItsOwnTaskFinishesThatTaskAndTheRest)
{
    auto queue = std::make_shared<DispatchQueue>("test.self-release");
    std::atomic<int> ran{0};
    std::promise<void> done;
    queue->async([&] { ++ran; });
    // The last reference goes away inside the queue's own task.
    queue->async([&, q = queue]() mutable {
        q.reset();
        ++ran;
    });
    queue->async([&] {
        ++ran;
        done.set_value();
    });
    queue.reset();
    done.get_future().wait();
    EXPECT_EQ(ran.load(), 3);
}

TEST(DispatchQueue, SyncWaitsForTheQueueAndRunsDirectlyWhenAlreadyOnIt)
{
    DispatchQueue queue("test.sync");
    std::atomic<int> value{0};
    queue.async([&] { value = 1; });
    bool wasCurrent = false;
    bool nestedRan = false;
    queue.sync([&] {
        wasCurrent = queue.isCurrent();
        queue.sync([&] { nestedRan = true; });  // would deadlock if it queued
    });
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(wasCurrent);
    EXPECT_TRUE(nestedRan);
}

TEST(DispatchQueue, SyncPassesAnExceptionBackToTheCaller)
{
    DispatchQueue queue("test.throw");
    EXPECT_THROW(queue.sync([] { throw std::runtime_error("boom"); }), std::runtime_error);
    bool after = false;
    queue.sync([&] { after = true; });
    EXPECT_TRUE(after);
}

TEST(DispatchQueue, MainQueueWorkComesBackToTheRunLoopThread)
{
    auto& main = DispatchQueue::main();
    EXPECT_TRUE(main.isCurrent());
    DispatchQueue worker("test.worker");
    bool back = false;
    bool onMain = false;
    worker.async([&] {
        main.async([&] {
            onMain = main.isCurrent();
            back = true;
        });
    });
    EXPECT_TRUE(fnd::RunLoop::main().runUntil([&] { return back; }));
    EXPECT_TRUE(onMain);

    // A worker waiting on the main queue is served while the main loop runs.
    std::atomic<bool> syncDone{false};
    bool syncOnMain = false;
    worker.async([&] {
        main.sync([&] { syncOnMain = fnd::RunLoop::main().isMainThread(); });
        syncDone = true;
    });
    EXPECT_TRUE(fnd::RunLoop::main().runUntil([&] { return syncDone.load(); }));
    EXPECT_TRUE(syncOnMain);
}

}  // namespace
