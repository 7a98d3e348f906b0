#include "platform/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace vantrel {
namespace {

using std::chrono::seconds;

TEST(WorkerThread, RunsEachWorkOffTheCallersThreadAndSaysWhenItHasEnded) {
    std::atomic<int> finished = 0;
    WorkerThread worker([&] { ++finished; });
    const auto caller = std::this_thread::get_id();
    for (int round = 1; round <= 2; ++round) {
        std::thread::id ranOn;
        const std::function<void()> work = [&] { ranOn = std::this_thread::get_id(); };
        worker.start(work);
        ASSERT_TRUE(worker.finishedWithin(seconds(20)));
        EXPECT_NE(ranOn, caller);
        EXPECT_EQ(finished, round);
        EXPECT_NO_THROW(worker.rethrow());
    }
}

TEST(WorkerThread, NotFinishedWhileTheWorkRuns) {
    WorkerThread worker([] {});
    std::atomic<bool> release = false;
    const std::function<void()> work = [&] {
        while (!release) {
            std::this_thread::yield();
        }
    };
    worker.start(work);
    EXPECT_FALSE(worker.finishedWithin(std::chrono::microseconds(2000)));
    release = true;
    EXPECT_TRUE(worker.finishedWithin(seconds(20)));
}

TEST(WorkerThread, RaisesWhatTheWorkRaisedOnceAndNotForTheNextWork) {
    WorkerThread worker([] {});
    const std::function<void()> failing = [] { throw std::runtime_error("full"); };
    worker.start(failing);
    ASSERT_TRUE(worker.finishedWithin(seconds(20)));
    EXPECT_THROW(worker.rethrow(), std::runtime_error);
    EXPECT_NO_THROW(worker.rethrow());
    const std::function<void()> fine = [] {};
    worker.start(fine);
    ASSERT_TRUE(worker.finishedWithin(seconds(20)));
    EXPECT_NO_THROW(worker.rethrow());
}

}  // namespace
}  // namespace vantrel
