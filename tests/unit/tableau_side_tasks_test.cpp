#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tableau/side_tasks.h"

namespace {

// Every task's result comes back through its future, in any number of helpers; with one
// helper the tasks run one after another in the order they were added.
TEST(SideTasks, GiveEveryResultAndRunInOrderOnOneHelper) {
    for (unsigned helpers : {1u, 2u, 4u}) {
        SCOPED_TRACE(helpers);
        std::vector<int> order;
        std::mutex order_mutex;
        std::vector<std::future<int> > results;
        {
            Side_Tasks tasks(helpers);
            for (int i = 0; i < 20; ++i) {
                results.push_back(tasks.add([i, &order, &order_mutex] {
                    std::lock_guard<std::mutex> lock(order_mutex);
                    order.push_back(i);
                    return i * i;
                }));
            }
            for (int i = 0; i < 20; ++i) EXPECT_EQ(results[i].get(), i * i);
        }
        ASSERT_EQ(order.size(), 20u);
        if (helpers == 1) {
            for (int i = 0; i < 20; ++i) EXPECT_EQ(order[i], i);
        }
    }
}

// Without helpers a task runs in the thread that asks for its result, when it asks.
TEST(SideTasks, WithoutHelpersRunWhenTheResultIsAskedFor) {
    Side_Tasks tasks(0);
    std::atomic<bool> ran{false};
    std::future<std::thread::id> where = tasks.add([&ran] {
        ran = true;
        return std::this_thread::get_id();
    });
    EXPECT_FALSE(ran.load());
    EXPECT_EQ(where.get(), std::this_thread::get_id());
    EXPECT_TRUE(ran.load());
}

// A task's exception reaches whoever asks for its result, and the tasks after it still run.
TEST(SideTasks, PassOnATasksExceptionAndGoOn) {
    for (unsigned helpers : {0u, 1u}) {
        Side_Tasks tasks(helpers);
        std::future<int> failing = tasks.add([]() -> int { throw std::runtime_error("failed"); });
        std::future<int> next = tasks.add([] { return 7; });
        EXPECT_THROW(failing.get(), std::runtime_error);
        EXPECT_EQ(next.get(), 7);
    }
}

// A caller with nothing else to do runs the tasks no helper has started, the last added first;
// a task already running is left to its helper.
TEST(SideTasks, TheCallerRunsTheTasksNoHelperHasStarted) {
    Side_Tasks tasks(1);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<void> started;
    std::future<std::thread::id> busy = tasks.add([&started, released] {
        started.set_value();
        released.wait();
        return std::this_thread::get_id();
    });
    started.get_future().wait();
    std::vector<int> order;
    std::future<std::thread::id> first = tasks.add([&order] {
        order.push_back(1);
        return std::this_thread::get_id();
    });
    std::future<std::thread::id> second = tasks.add([&order] {
        order.push_back(2);
        return std::this_thread::get_id();
    });
    EXPECT_TRUE(tasks.run_one_waiting());
    EXPECT_TRUE(tasks.run_one_waiting());
    EXPECT_FALSE(tasks.run_one_waiting());
    EXPECT_EQ(order, (std::vector<int>{2, 1}));
    EXPECT_EQ(first.get(), std::this_thread::get_id());
    EXPECT_EQ(second.get(), std::this_thread::get_id());
    release.set_value();
    EXPECT_NE(busy.get(), std::this_thread::get_id());
    EXPECT_FALSE(Side_Tasks(0).run_one_waiting());
}

// Going away waits for the tasks still running or waiting, whose results nobody asked for.
TEST(SideTasks, WaitForEveryTaskBeforeGoingAway) {
    std::atomic<int> finished{0};
    {
        Side_Tasks tasks(1);
        for (int i = 0; i < 3; ++i) {
            tasks.add([&finished] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                ++finished;
            });
        }
    }
    EXPECT_EQ(finished.load(), 3);
}

}  // namespace
