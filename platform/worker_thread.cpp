#include "platform/worker_thread.h"

#include <utility>

namespace vantrel {

WorkerThread::WorkerThread(std::function<void()> finished) : finished_(std::move(finished)) {}

WorkerThread::~WorkerThread() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void WorkerThread::start(const std::function<void()>& work) {
    {
        const std::lock_guard lock(mutex_);
        job_ = &work;
        done_ = false;
        failure_ = nullptr;
        if (!thread_.joinable()) {
            thread_ = std::thread([this] { serve(); });
        }
    }
    changed_.notify_all();
}

void WorkerThread::serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || job_ != nullptr; });
        if (job_ == nullptr) {
            return;
        }
        const std::function<void()>& work = *job_;
        lock.unlock();
        std::exception_ptr failure;
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        job_ = nullptr;
        failure_ = failure;
        done_ = true;
        changed_.notify_all();
        finished_();
    }
}

bool WorkerThread::finishedWithin(std::chrono::microseconds patience) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, patience, [this] { return done_; });
}

void WorkerThread::rethrow() {
    std::exception_ptr failure;
    {
        const std::lock_guard lock(mutex_);
        failure = std::exchange(failure_, nullptr);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace vantrel
