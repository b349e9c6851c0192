#include "tableau/side_tasks.h"

#include "matrix/thread_start.h"

Side_Tasks::~Side_Tasks() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    added_.notify_all();
    for (std::thread& helper : helpers_) helper.join();
}

void Side_Tasks::queue(std::function<void()> task) {
    std::unique_lock<std::mutex> lock(mutex_);
    waiting_.push_back(std::move(task));
    if (idle_ == 0 && helpers_.size() < max_helpers_) {
        if (start_thread(helpers_, [this] { serve(); })) return;
        // No more helpers: those there are take the task; without any, the caller does, now.
        max_helpers_ = static_cast<unsigned>(helpers_.size());
        if (helpers_.empty()) {
            lock.unlock();
            run_one_waiting();
            return;
        }
    }
    added_.notify_one();
}

// Runs waiting tasks until the queue is empty and the tasks are told to stop.
void Side_Tasks::serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        if (waiting_.empty()) {
            if (stopping_) return;
            ++idle_;
            added_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            --idle_;
            continue;
        }
        std::function<void()> task = std::move(waiting_.front());
        waiting_.pop_front();
        lock.unlock();
        task();  // a packaged task keeps its own exception
        lock.lock();
    }
}

bool Side_Tasks::run_one_waiting() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (waiting_.empty()) return false;
    std::function<void()> task = std::move(waiting_.back());
    waiting_.pop_back();
    lock.unlock();
    task();
    return true;
}
