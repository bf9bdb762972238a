#include <atomic>
#include <future>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/OperationQueue.h"

namespace {

TEST(OperationQueue, RunsInOrderOffTheCallingThread)
{
    fnd::OperationQueue queue("test");
    std::vector<int> order;
    std::atomic<bool> onWorker{true};
    for (int i = 0; i < 50; ++i)
        queue.addOperation([&, i] {
            order.push_back(i);
            onWorker = onWorker && queue.isCurrent();
        });
    queue.waitUntilAllOperationsAreFinished();
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    EXPECT_TRUE(onWorker);
    EXPECT_FALSE(queue.isCurrent());
    EXPECT_EQ(queue.operationCount(), 0u);
}

TEST(OperationQueue, CancellingDropsWaitingOperationsOnly)
{
    std::promise<void> release;
    std::promise<void> started;
    std::atomic<int> ran{0};
    {
        fnd::OperationQueue queue;
        queue.addOperation([&, gate = release.get_future().share()] {
            started.set_value();
            gate.wait();
            ++ran;
        });
        started.get_future().wait();
        for (int i = 0; i < 5; ++i)
            queue.addOperation([&] { ran += 10; });
        EXPECT_EQ(queue.operationCount(), 6u);
        queue.cancelAllOperations();
        EXPECT_EQ(queue.operationCount(), 1u) << "the running one stays";
        release.set_value();
        queue.waitUntilAllOperationsAreFinished();
        EXPECT_EQ(ran, 1);

        queue.addOperation([&] { ran += 100; });
        queue.waitUntilAllOperationsAreFinished();
        EXPECT_EQ(ran, 101) << "the queue goes on after a cancel";
    }
}

TEST(OperationQueue, DestroyingFinishesTheRunningOperationAndDropsTheRest)
{
    std::atomic<int> ran{0};
    std::promise<void> started;
    {
        fnd::OperationQueue queue;
        queue.addOperation([&] {
            started.set_value();
            ++ran;
        });
        started.get_future().wait();
        for (int i = 0; i < 1000; ++i)
            queue.addOperation([&] { ++ran; });
    }
    EXPECT_GE(ran, 1);
    EXPECT_LE(ran, 1001);
}

}  // namespace
