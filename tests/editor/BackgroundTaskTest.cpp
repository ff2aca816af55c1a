#include "editor/BackgroundTask.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

// The finish runs on the thread that polls, only once the work has ended,
// and a second task waits for the first to be finished.
TEST(BackgroundTask, FinishesOnThePollingThreadAfterTheWork) {
    BackgroundTask task;
    std::atomic<bool> release{false};
    std::thread::id finishedOn;
    ASSERT_TRUE(task.start("Importing walk", [&](TaskProgress& progress) {
        progress.set(0.42);
        while (!release.load())
            std::this_thread::yield();
        return BackgroundTask::Finish([&] { finishedOn = std::this_thread::get_id(); });
    }));
    while (task.progressText() != "Importing walk: 42 %")
        std::this_thread::yield();
    EXPECT_FALSE(task.poll());
    EXPECT_FALSE(task.start("second", [](TaskProgress&) { return BackgroundTask::Finish(); }));
    release = true;
    task.wait();
    EXPECT_EQ(finishedOn, std::this_thread::get_id());
    EXPECT_FALSE(task.busy());
    EXPECT_EQ(task.progressText(), "");
}

// A cancel reaches the running work, not the next one; the destructor stops
// and joins work that would otherwise never end.
TEST(BackgroundTask, CancelReachesOnlyTheRunningWork) {
    BackgroundTask task;
    bool sawCancel = false;
    task.start("a", [&](TaskProgress& progress) {
        while (!progress.cancelled())
            std::this_thread::yield();
        return BackgroundTask::Finish([&] { sawCancel = true; });
    });
    task.cancel();
    task.wait();
    EXPECT_TRUE(sawCancel);
    bool cancelledAtStart = true;
    task.start("b", [&](TaskProgress& progress) {
        cancelledAtStart = progress.cancelled();
        return BackgroundTask::Finish();
    });
    task.wait();
    EXPECT_FALSE(cancelledAtStart);
    auto endless = std::make_unique<BackgroundTask>();
    endless->start("c", [](TaskProgress& progress) {
        while (!progress.cancelled())
            std::this_thread::yield();
        return BackgroundTask::Finish();
    });
    endless.reset();
}
