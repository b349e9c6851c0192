#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

// Work that only reads finished records, done on helper threads while the calling thread goes on
// writing listings. Tasks start in the order they are added, so the one whose result is needed
// first is added first; a helper is started only when every helper is busy. With no helper
// allowed, a task runs in the calling thread when its result is asked for; when the system starts
// no helper at all, when it is added.
//
// One helper beside the caller keeps two threads running on two cores: a thread per task would
// take turns with the caller, whose listings are the longest chain of the work.
class Side_Tasks {
   public:
    // At most `helpers` threads beside the calling one.
    explicit Side_Tasks(unsigned helpers) : max_helpers_(helpers) {}
    // Waits for every task added, so that nothing they read goes before them.
    ~Side_Tasks();
    Side_Tasks(const Side_Tasks&) = delete;
    Side_Tasks& operator=(const Side_Tasks&) = delete;

    // The result of task(), or the exception it threw, through the future.
    template <typename Task>
    std::future<std::invoke_result_t<Task>> add(Task task) {
        using Result = std::invoke_result_t<Task>;
        if (max_helpers_ == 0) return std::async(std::launch::deferred, std::move(task));
        auto packaged = std::make_shared<std::packaged_task<Result()>>(std::move(task));
        std::future<Result> result = packaged->get_future();
        queue([packaged] { (*packaged)(); });
        return result;
    }

    // Runs the task added last of those that no helper has started, in the calling thread;
    // false when there is none. A caller with nothing else to do takes on work this way instead
    // of waiting for a result.
    bool run_one_waiting();

   private:
    void queue(std::function<void()> task);
    void serve();

    unsigned max_helpers_;  // lowered to the helpers there are when the system starts no more
    std::vector<std::thread> helpers_;
    std::mutex mutex_;
    std::condition_variable added_;
    std::deque<std::function<void()>> waiting_;
    unsigned idle_ = 0;  // helpers waiting for a task
    bool stopping_ = false;
};
