#pragma once

#include <QObject>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/waiting.h"

class QEventLoop;

namespace vantrel::qt {

// Runs work on a thread of its own while the window's thread turns a local event loop that
// leaves user input queued: the window paints, answers the window manager's pings and ticks,
// and clicks and keys are handled once the work is over, in order.
class QtWaiter : public Waiter {
  public:
    static constexpr int kTickMs = 33;

    QtWaiter();
    ~QtWaiter() override;
    QtWaiter(const QtWaiter&) = delete;
    QtWaiter& operator=(const QtWaiter&) = delete;

    void await(const std::function<void()>& work, const std::function<void()>& tick) override;

  private:
    void serve();
    bool finishedWithin(std::chrono::microseconds patience);

    std::mutex mutex_;
    std::condition_variable changed_;
    const std::function<void()>* job_ = nullptr;
    bool finished_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    // Lives on the window's thread; the worker wakes the waiting loop through it.
    QObject wakeup_;
    QEventLoop* loop_ = nullptr;
    std::thread worker_;
};

}  // namespace vantrel::qt
