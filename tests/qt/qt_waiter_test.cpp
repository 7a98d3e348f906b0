// The Qt window's waiting: work runs on a thread of its own while the window's thread paints
// and ticks; what the work raises comes back to the caller.

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "qt/qt_waiter.h"

namespace {

using vantrel::qt::QtWaiter;

class PaintCounter : public QObject {
  public:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    std::atomic<int> paints = 0;
};

class QtWaiterTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

    // The work ends only once the window's thread has ticked three times and painted what the
    // ticks changed: neither happens unless that thread keeps turning while the work runs.
    void theWindowTicksAndPaintsWhileTheWorkRunsElsewhere() {
        QLabel label(QStringLiteral("0"));
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        PaintCounter counter;
        label.installEventFilter(&counter);

        const std::thread::id windowThread = std::this_thread::get_id();
        std::atomic<int> ticks = 0;
        std::thread::id workThread;
        QtWaiter waiter;
        waiter.await(
            [&] {
                workThread = std::this_thread::get_id();
                // Bounded, so a fault fails the test instead of hanging it.
                for (int i = 0; i < 1000 && (ticks < 3 || counter.paints < 2); ++i) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
            },
            [&] {
                QVERIFY(std::this_thread::get_id() == windowThread);
                label.setText(QString::number(++ticks));
            });

        QVERIFY(workThread != windowThread);
        QVERIFY(ticks >= 3);
        QVERIFY(counter.paints >= 2);
    }

    void whatTheWorkRaisesComesBack() {
        QtWaiter waiter;
        for (int round = 0; round < 2; ++round) {
            QVERIFY_THROWS_EXCEPTION(
                std::runtime_error,
                waiter.await([] { throw std::runtime_error("disk gone"); }, [] {}));
        }
        int done = 0;
        waiter.await([&] { ++done; }, [] {});
        QCOMPARE(done, 1);
    }

    // Short work is waited for without a tick, one after the other on the same worker.
    void shortWorkNeedsNoTick() {
        QtWaiter waiter;
        int ticks = 0;
        int done = 0;
        for (int i = 0; i < 100; ++i) {
            waiter.await([&] { ++done; }, [&] { ++ticks; });
        }
        QCOMPARE(done, 100);
        QCOMPARE(ticks, 0);
    }
};

}  // namespace

QTEST_MAIN(QtWaiterTest)
#include "qt_waiter_test.moc"
