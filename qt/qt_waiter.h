#pragma once

#include <QObject>
#include <functional>

#include "platform/waiting.h"
#include "platform/worker_thread.h"

class QEventLoop;

namespace vantrel::qt {

// Runs work on a thread of its own while the window's thread turns a local event loop: the
// window paints, answers the window manager's pings and requests, ticks and reads its input,
// which the window refuses or takes while the work goes on, never after.
class QtWaiter : public Waiter {
  public:
    static constexpr int kTickMs = 33;

    QtWaiter();
    ~QtWaiter() override;
    QtWaiter(const QtWaiter&) = delete;
    QtWaiter& operator=(const QtWaiter&) = delete;

    void await(const std::function<void()>& work, const std::function<void()>& tick) override;

  private:
    // Lives on the window's thread; the worker wakes the waiting loop through it.
    QObject wakeup_;
    QEventLoop* loop_ = nullptr;
    WorkerThread worker_;
};

}  // namespace vantrel::qt
