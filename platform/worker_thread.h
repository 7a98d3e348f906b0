#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace vantrel {

// The thread a window's waiter runs long work on: started with the first work and kept for the
// next, one piece of work at a time. The window's thread hands work over, waits for it in its
// own way, and then collects what the work raised.
class WorkerThread {
  public:
    // `finished` runs on the worker thread each time a piece of work has ended, to wake the
    // window's thread.
    explicit WorkerThread(std::function<void()> finished);
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts `work`, which must outlive it, on the worker thread.
    void start(const std::function<void()>& work);
    // Whether the work started last has ended, waiting at most `patience` for it.
    bool finishedWithin(std::chrono::microseconds patience);
    // Raises what the work that has ended raised, if anything.
    void rethrow();

  private:
    void serve();

    std::function<void()> finished_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const std::function<void()>* job_ = nullptr;
    bool done_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace vantrel
