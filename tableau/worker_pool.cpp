#include "tableau/worker_pool.h"

#include <chrono>
#include <cstdlib>
#include <string>

#include "matrix/thread_start.h"

namespace {

unsigned configured_threads = 0;  // 0: every core

// Calls `done` until it is true or about `spin_time` has passed; returns its last answer. Sections
// of an iteration often follow each other within microseconds, and a thread that waits for the
// next one in the scheduler takes tens of microseconds to wake.
constexpr std::chrono::microseconds spin_time{50};

template <typename Done>
bool spin_until(Done done) {
    const auto end = std::chrono::steady_clock::now() + spin_time;
    while (true) {
        for (int i = 0; i < 64; ++i) {
            if (done()) return true;
#if defined(__x86_64__)
            __builtin_ia32_pause();
#endif
        }
        if (std::chrono::steady_clock::now() >= end) return done();
    }
}

}  // namespace

Worker_Pool::Worker_Pool(unsigned threads) {
    // Threads the system will not start leave the pool smaller; the sections share their work
    // over the threads there are.
    for (unsigned i = 1; i < threads; ++i) {
        if (!start_thread(workers_, [this, i] { serve(i); })) break;
    }
}

Worker_Pool::~Worker_Pool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    start_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void Worker_Pool::run(const std::function<void(unsigned)>& job) {
    if (workers_.empty()) {
        job(0);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = &job;
        busy_ = static_cast<unsigned>(workers_.size());
        busy_now_.store(busy_, std::memory_order_release);
        failure_ = nullptr;
        ++section_;
        section_now_.store(section_, std::memory_order_release);
    }
    start_.notify_all();
    std::exception_ptr own;
    try {
        job(0);
    } catch (...) {
        own = std::current_exception();
    }
    spin_until([this] { return busy_now_.load(std::memory_order_acquire) == 0; });
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    job_ = nullptr;
    if (own) std::rethrow_exception(own);
    if (failure_) std::rethrow_exception(failure_);
}

void Worker_Pool::serve(unsigned index) {
    unsigned long long seen = 0;
    while (true) {
        const std::function<void(unsigned)>* job;
        spin_until([&] { return section_now_.load(std::memory_order_acquire) != seen; });
        {
            std::unique_lock<std::mutex> lock(mutex_);
            start_.wait(lock, [&] { return stopping_ || section_ != seen; });
            if (stopping_) return;
            seen = section_;
            job = job_;
        }
        std::exception_ptr failure;
        try {
            (*job)(index);
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (failure && !failure_) failure_ = failure;
        busy_now_.store(--busy_, std::memory_order_release);
        if (busy_ == 0) done_.notify_one();
    }
}

unsigned thread_count() {
    if (configured_threads != 0) return configured_threads;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

void set_thread_count(unsigned threads) { configured_threads = threads; }

bool threads_from_environment(unsigned* threads) {
    const char* text = std::getenv("KESTRANE_THREADS");
    // Set but empty means the default, as an unset variable does.
    if (text == nullptr || *text == '\0') return true;
    const std::string value(text);
    if (value.size() > 4 || value.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const unsigned number = static_cast<unsigned>(std::stoul(value));
    if (number < 1 || number > 1024) return false;
    *threads = number;
    return true;
}
