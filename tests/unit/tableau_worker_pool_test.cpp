#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "tableau/worker_pool.h"

namespace {

TEST(WorkerPool, RunsEveryThreadIndexOncePerSectionAndWaitsForAll) {
    for (unsigned threads : {1u, 2u, 5u}) {
        Worker_Pool pool(threads);
        ASSERT_EQ(pool.size(), threads);
        for (int section = 0; section < 50; ++section) {
            std::vector<std::atomic<int> > calls(threads);
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

}  // namespace
