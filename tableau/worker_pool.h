#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Threads that share the work of one parallel section of an iteration. A section is one call
// per thread, each with its thread index; the calling thread takes index 0 and waits for the
// others, so a section is over before the iteration goes on and nothing runs between sections.
class Worker_Pool {
   public:
    // A pool of `threads` threads in all, the calling one included (1: no extra thread), or of
    // as many as the system would start.
    explicit Worker_Pool(unsigned threads);
    ~Worker_Pool();
    Worker_Pool(const Worker_Pool&) = delete;
    Worker_Pool& operator=(const Worker_Pool&) = delete;

    unsigned size() const { return static_cast<unsigned>(workers_.size()) + 1; }

    // Runs job(i) for every thread index i, i = 0 on the calling thread, and returns when every
    // call has returned. The first exception a call throws is thrown again here.
    void run(const std::function<void(unsigned)>& job);

   private:
    void serve(unsigned index);

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable start_;
    std::condition_variable done_;
    const std::function<void(unsigned)>* job_ = nullptr;
    unsigned long long section_ = 0;  // sections handed out so far
    unsigned busy_ = 0;               // workers still in the current section
    // The two counts above as last set, for threads that wait without the lock for a while first.
    std::atomic<unsigned long long> section_now_{0};
    std::atomic<unsigned> busy_now_{0};
    bool stopping_ = false;
    std::exception_ptr failure_;
};

// Number of threads the iterations use: set by set_thread_count (0: every core, the default).
unsigned thread_count();
void set_thread_count(unsigned threads);

// Reads KESTRANE_THREADS: true with *threads unchanged when it is not set or empty, true with the
// number when it is a whole number from 1 to 1024, false otherwise.
bool threads_from_environment(unsigned* threads);
