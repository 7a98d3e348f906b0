#include "qt/qt_waiter.h"

#include <QEventLoop>
#include <QTimer>
#include <chrono>

namespace vantrel::qt {

namespace {

// Most copies end within a few milliseconds: a wait that short turns no event loop, so a run
// of small files costs little more than the copies themselves.
constexpr std::chrono::microseconds kQuietWait{2000};

}  // namespace

QtWaiter::QtWaiter() = default;

QtWaiter::~QtWaiter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void QtWaiter::serve() {
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
        finished_ = true;
        changed_.notify_all();
        QMetaObject::invokeMethod(
            &wakeup_,
            [this] {
                if (loop_ != nullptr) {
                    loop_->quit();
                }
            },
            Qt::QueuedConnection);
    }
}

bool QtWaiter::finishedWithin(std::chrono::microseconds patience) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, patience, [this] { return finished_; });
}

void QtWaiter::await(const std::function<void()>& work, const std::function<void()>& tick) {
    {
        const std::lock_guard lock(mutex_);
        job_ = &work;
        finished_ = false;
        failure_ = nullptr;
        if (!worker_.joinable()) {
            worker_ = std::thread([this] { serve(); });
        }
    }
    changed_.notify_all();

    if (!finishedWithin(kQuietWait)) {
        QEventLoop loop;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, &loop, [&tick] { tick(); });
        ticker.start(kTickMs);
        loop_ = &loop;
        // A worker that finished before the loop was known has posted a wake-up that found no
        // loop: look again before turning it.
        while (!finishedWithin(std::chrono::microseconds(0))) {
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
        loop_ = nullptr;
    }

    std::exception_ptr failure;
    {
        const std::lock_guard lock(mutex_);
        failure = failure_;
        failure_ = nullptr;
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace vantrel::qt
