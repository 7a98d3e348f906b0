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

QtWaiter::QtWaiter()
    : worker_([this] {
          QMetaObject::invokeMethod(
              &wakeup_,
              [this] {
                  if (loop_ != nullptr) {
                      loop_->quit();
                  }
              },
              Qt::QueuedConnection);
      }) {}

QtWaiter::~QtWaiter() = default;

void QtWaiter::await(const std::function<void()>& work, const std::function<void()>& tick) {
    worker_.start(work);
    if (!worker_.finishedWithin(kQuietWait)) {
        QEventLoop loop;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, &loop, [&tick] { tick(); });
        ticker.start(kTickMs);
        loop_ = &loop;
        // A worker that finished before the loop was known has posted a wake-up that found no
        // loop: look again before turning it.
        while (!worker_.finishedWithin(std::chrono::microseconds(0))) {
            loop.exec();
        }
        loop_ = nullptr;
    }
    worker_.rethrow();
}

}  // namespace vantrel::qt
