#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tableau/side_tasks.h"
#include "tableau/worker_pool.h"
#include "tests/support/stops.h"

namespace {

TEST(WorkerPool, RunsEveryThreadIndexOncePerSectionAndWaitsForAll) {
    for (unsigned threads : {1u, 2u, 5u}) {
        Worker_Pool pool(threads);
        ASSERT_EQ(pool.size(), threads);
        for (int section = 0; section < 50; ++section) {
            std::vector<std::atomic<int>> calls(threads);
            pool.run([&](unsigned index) { calls[index].fetch_add(1); });
            for (unsigned i = 0; i < threads; ++i) EXPECT_EQ(calls[i].load(), 1) << i;
        }
    }
}

TEST(WorkerPool, PassesOnAnExceptionOfAnyThreadAndStaysUsable) {
    Worker_Pool pool(3);
    for (unsigned thrower = 0; thrower < 3; ++thrower) {
        EXPECT_THROW(pool.run([&](unsigned index) {
            if (index == thrower) throw std::runtime_error("share failed");
        }),
                     std::runtime_error);
    }
    std::atomic<int> calls{0};
    pool.run([&](unsigned) { calls.fetch_add(1); });
    EXPECT_EQ(calls.load(), 3);
}

TEST(ThreadsFromEnvironment, AcceptsWholeNumbersFromOneTo1024Only) {
    struct Case {
        const char* value;  // nullptr: not set
        bool valid;
        unsigned threads;  // expected when valid (7: left as it was, the default)
    };
    const Case cases[] = {
        {nullptr, true, 7}, {"1", true, 1},     {"2", true, 2},      {"1024", true, 1024},
        {"0", false, 0},    {"1025", false, 0}, {"", true, 7},       {"-2", false, 0},
        {"2x", false, 0},   {" 2", false, 0},   {"99999", false, 0},
    };
    for (const Case& c : cases) {
        if (c.value == nullptr) {
            unsetenv("KESTRANE_THREADS");
        } else {
            setenv("KESTRANE_THREADS", c.value, 1);
        }
        unsigned threads = 7;
        EXPECT_EQ(threads_from_environment(&threads), c.valid) << (c.value ? c.value : "unset");
        if (c.valid) {
            EXPECT_EQ(threads, c.threads) << (c.value ? c.value : "unset");
        }
    }
    unsetenv("KESTRANE_THREADS");
}

// A process with too little address space for the stacks of the threads asked for: the pool and
// the side tasks go on with the threads the system starts, every share and every task is done,
// and the console says so once. In a forked child, whose address space is lowered; not under
// AddressSanitizer, whose shadow memory needs far more address space than the limit.
#ifndef __SANITIZE_ADDRESS__
TEST(ThreadStartDeathTest, TooLittleAddressSpaceLeavesFewerThreads) {
    const auto fewer_threads = [] {
        const rlimit limit{rlim_t{600} << 20, rlim_t{600} << 20};
        if (setrlimit(RLIMIT_AS, &limit) != 0) std::exit(3);
        {
            Worker_Pool pool(300);
            std::atomic<unsigned> shares{0};
            pool.run([&](unsigned) { shares.fetch_add(1); });
            if (pool.size() <= 1 || pool.size() >= 300 || shares.load() != pool.size())
                std::exit(4);
        }
        // Each task keeps its helper busy for a while, so that every new task asks for a helper.
        Side_Tasks tasks(300);
        std::vector<std::future<int>> results;
        for (int t = 0; t < 300; ++t) {
            results.push_back(tasks.add([t] {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                return t;
            }));
        }
        for (int t = 0; t < 300; ++t) {
            if (results[t].get() != t) std::exit(5);
        }
        std::exit(0);
    };
    EXPECT_EXIT(
        {
            route_stdout_to_captured_stream();
            fewer_threads();
        },
        ::testing::ExitedWithCode(0),
        ::testing::Eq(std::string(
            "\nThe system would not start every thread asked for: the run goes on with fewer.\n")));
}
#endif

}  // namespace
