// The background worker: jobs in order on a thread of their own, a cancel
// that drops what waits and tells the running job, and an owner that can go
// while a job runs.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "CWorkerThread.h"
#include "support/Polling.h"

namespace {

constexpr DWORD kBudgetMs = 10000;

// A job that waits until the test releases it (or its token is cancelled).
struct Gate {
    std::atomic<bool> started{false};
    std::atomic<bool> released{false};
    std::atomic<bool> sawCancel{false};
    CWorkerThread::Job Job()
    {
        return [this](const CWorkerThread::Token& token) {
            started = true;
            while (!released && !token.Cancelled())
                std::this_thread::yield();
            sawCancel = token.Cancelled();
        };
    }
};

TEST(WorkerThread, RunsJobsInOrderOffTheCallersThread)
{
    CWorkerThread worker;
    std::mutex mutex;
    std::vector<int> order;
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> offThread{true};
    for (int i = 0; i < 5; ++i)
        worker.Post([&, i](const CWorkerThread::Token&) {
            offThread = offThread && std::this_thread::get_id() != caller;
            std::lock_guard<std::mutex> lock(mutex);
            order.push_back(i);
        });
    ASSERT_TRUE(PollUntil([&] { return worker.IsIdle(); }, kBudgetMs));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(offThread);
}

TEST(WorkerThread, CancelDropsWhatWaitsAndTellsTheRunningJob)
{
    CWorkerThread worker;
    Gate gate;
    std::atomic<int> ran{0};
    worker.Post(gate.Job());
    worker.Post([&](const CWorkerThread::Token&) { ++ran; });
    ASSERT_TRUE(PollUntil([&] { return gate.started.load(); }, kBudgetMs));
    worker.Cancel();
    worker.Post([&](const CWorkerThread::Token&) { ran += 10; }); // after the cancel: wanted
    ASSERT_TRUE(PollUntil([&] { return worker.IsIdle(); }, kBudgetMs));
    EXPECT_TRUE(gate.sawCancel);
    EXPECT_EQ(ran, 10);
}

TEST(WorkerThread, TheOwnerGoesWhileAJobRuns)
{
    Gate gate;
    {
        CWorkerThread worker;
        worker.Post(gate.Job());
        ASSERT_TRUE(PollUntil([&] { return gate.started.load(); }, kBudgetMs));
    } // the destructor cancels and waits for the job
    EXPECT_TRUE(gate.sawCancel);
}

} // namespace
