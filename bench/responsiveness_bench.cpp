// Whether the window stays alive during a run, and what that costs, offscreen:
//  - the longest time the window's thread went without turning its event loop, and the longest
//    a mouse move posted to the window every 5 ms waited to be read, while one large file was
//    copied through ReplicateBtn_Click, beside the copy's own time without a window;
//  - the time from Yes to "Stop replicating?" (asked by Escape a third of the way into the copy)
//    to the end of the run;
//  - 10,000 entries x 1 copy and 1 entry x 10,000 copies of a 4 KiB file through the window,
//    each beside the same run in the core alone, as ratios.
//
//   responsiveness_bench [--big SIZE_IN_MIB] [--dir FOLDER]     (default 2048 MiB under TMPDIR)
//
// It writes the large file once and two copies of it: three times its size on the disk.

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "filelist/file_list.h"
#include "platform/conventions.h"
#include "platform/fs/real_file_system.h"
#include "qt/form1_window.h"
#include "qt/progress_repainter.h"
#include "qt/qt_waiter.h"
#include "replication/replication_run.h"
#include "support/fake_launcher.h"
#include "support/fake_message_box.h"
#include "support/fake_painter.h"
#include "support/fake_replication_window.h"
#include "support/fake_waiter.h"
#include "window/form1.h"

namespace {

using namespace vantrel;

constexpr int kSmallCopies = 10000;
constexpr qint64 kSmallSize = 4096;
constexpr double kGapGoalMs = 100;
constexpr double kStopGoalMs = 200;
constexpr int kInputEveryMs = 5;
constexpr double kRatioGoal = 1.3;

struct Bench {
    explicit Bench(const QString& root) : folder(root + "/vantrel-bench-XXXXXX") {
        messageBox.alwaysAnswer(Answer::Yes);
        if (!folder.isValid()) {
            fail("cannot make a folder under " + root.toStdString());
        }
    }

    [[noreturn]] static void fail(const std::string& why) {
        std::fprintf(stderr, "%s\n", why.c_str());
        std::exit(1);
    }

    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }

    void writeFile(const QString& name, qint64 size) const {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly)) {
            fail("cannot write " + name.toStdString());
        }
        // Real data, not holes: a sparse file would be copied without its holes' bytes.
        const QByteArray block(1 << 20, 'v');
        for (qint64 left = size; left > 0; left -= block.size()) {
            if (file.write(block.constData(), std::min<qint64>(left, block.size())) < 0) {
                fail("cannot write " + name.toStdString());
            }
        }
    }

    // A fresh, empty destination, so that no copy asks before replacing. The disk is settled
    // first: the writes and removals of the run before must not be paid by this one.
    std::string destination(const QString& name) const {
        QDir(path(name)).removeRecursively();
        QDir(folder.path()).mkpath(name);
        ::sync();
        return path(name).toStdString();
    }

    void check(const std::string& to, qsizetype copies) const {
        const auto made = QDir(QString::fromStdString(to)).entryList(QDir::Files).size();
        if (made != copies || !messageBox.shown.empty()) {
            fail("expected " + std::to_string(copies) + " copies in " + to + ", found " +
                 std::to_string(made) + "; " + std::to_string(messageBox.shown.size()) +
                 " messages");
        }
    }

    // Entries of the list: (path, count text).
    using Entries = std::vector<std::pair<std::string, std::string>>;

    double coreAlone(const Entries& entries, const QString& name) {
        test::FakeReplicationWindow window;
        window.saveTo.setText(destination(name));
        for (const auto& [source, count] : entries) {
            window.addRowPath(source, count);
        }
        test::NoPainting painter;
        test::NoWaiting waiter;
        Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
        QElapsedTimer timer;
        timer.start();
        ReplicateBtn_Click(window.controls, services);
        return static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }

    struct WindowRun {
        double ms;
        double longestGapMs;
        double longestInputWaitMs = 0;
        double yesToEndMs = 0;
    };

    // Mouse moves posted to the window from another thread while a run lasts, each stamped
    // with the time it was posted; the longest any waited to be read.
    class ArrivingInput : public QObject {
      public:
        explicit ArrivingInput(QWidget& window) : window_(window) {
            QApplication::instance()->installEventFilter(this);
            poster_ = std::thread([this] {
                while (!done_) {
                    const auto at = static_cast<ulong>(clock_.nsecsElapsed() / 1000);
                    auto* move = new QMouseEvent(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1),
                                                 Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                    move->setTimestamp(at);
                    QCoreApplication::postEvent(&window_, move);
                    std::this_thread::sleep_for(std::chrono::milliseconds(kInputEveryMs));
                }
            });
        }
        ~ArrivingInput() override {
            done_ = true;
            poster_.join();
            QCoreApplication::removePostedEvents(&window_, QEvent::MouseMove);
        }
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (watched == &window_ && event->type() == QEvent::MouseMove) {
                const auto posted =
                    static_cast<qint64>(static_cast<QMouseEvent*>(event)->timestamp());
                longestMs = std::max(longestMs, (clock_.nsecsElapsed() / 1000 - posted) / 1e3);
            }
            return false;
        }
        double longestMs = 0;

      private:
        QWidget& window_;
        QElapsedTimer clock_ = [] {
            QElapsedTimer timer;
            timer.start();
            return timer;
        }();
        std::atomic<bool> done_ = false;
        std::thread poster_;
    };

    // The run through the window, with a timer of 1 ms on the window's thread whose firings
    // show every turn of its event loop. With `input`, mouse moves arrive meanwhile; with
    // `stopAfterMs`, Escape asks to stop that long into the run and the answer is Yes.
    WindowRun throughTheWindow(const Entries& entries, const QString& name, bool input = false,
                               int stopAfterMs = 0) {
        qt::ProgressRepainter painter;
        qt::QtWaiter waiter;
        Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
        qt::Form1Window form(services);
        painter.watch(&form, form.progressArea());
        form.open();
        QElapsedTimer shown;
        shown.start();
        while (!form.isVisible() && shown.elapsed() < 5000) {
            QCoreApplication::processEvents();
        }
        FileList list(form.controls().Text1, form.controls().CopyTimes);
        for (const auto& [source, count] : entries) {
            list.append(source, count);
        }
        const std::string to = destination(name);
        form.controls().SaveTo.setText(to);
        QCoreApplication::processEvents();

        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer turns;
        QObject::connect(&turns, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        turns.start(1);
        qint64 yes = -1;
        QTimer escape;
        escape.setSingleShot(true);
        QObject::connect(&escape, &QTimer::timeout, [&] {
            std::int16_t KeyCode = vbKeyEscape;
            form.logic().Form_KeyDown(KeyCode, 0);
            yes = clock.nsecsElapsed();
        });
        if (stopAfterMs > 0) {
            escape.start(stopAfterMs);
        }
        std::unique_ptr<ArrivingInput> arriving;
        if (input) {
            arriving = std::make_unique<ArrivingInput>(form);
        }
        clock.start();
        form.logic().ReplicateBtn_Click();
        const qint64 total = clock.nsecsElapsed();
        longest = std::max(longest, total - last);
        WindowRun run{static_cast<double>(total) / 1e6, static_cast<double>(longest) / 1e6};
        if (arriving) {
            run.longestInputWaitMs = arriving->longestMs;
        }
        if (yes >= 0) {
            run.yesToEndMs = static_cast<double>(total - yes) / 1e6;
        }
        return run;
    }

    QTemporaryDir folder;
    test::FakeMessageBox messageBox;
    RealFileSystem fileSystem;
    test::FakeLauncher launcher;
    Conventions conventions = Conventions::posix(folder.path().toStdString());
};

void goalRow(const char* what, double ms, double goal) {
    std::printf("  %-52s %9.1f ms   goal <= %5.0f ms   ratio %.3f\n", what, ms, goal, ms / goal);
}

void ratioRow(const char* what, double core, double window) {
    std::printf("  %-34s core %9.1f ms   window %9.1f ms   ratio %.3f  [goal <= %.1f]\n", what,
                core, window, window / core, kRatioGoal);
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    qint64 bigMiB = 2048;
    QString root = QDir::tempPath();
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--big") == 0) {
            bigMiB = std::atoll(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--dir") == 0) {
            root = QString::fromLocal8Bit(argv[i + 1]);
        }
    }
    Bench bench(root);

    std::printf("One file of %lld MiB through the window:\n", bigMiB);
    bench.writeFile("big.bin", bigMiB << 20);
    const Bench::Entries big{{bench.path("big.bin").toStdString(), "1"}};
    const double bigCore = bench.coreAlone(big, "big-core");
    bench.check(bench.path("big-core").toStdString(), 1);
    const Bench::WindowRun bigWindow = bench.throughTheWindow(big, "big-window", true);
    bench.check(bench.path("big-window").toStdString(), 1);
    const Bench::WindowRun stopped = bench.throughTheWindow(
        big, "big-stopped", false, static_cast<int>(std::max(50.0, bigCore / 3)));
    // The question was asked and answered Yes; no copy is left.
    bench.messageBox.shown.clear();
    bench.check(bench.path("big-stopped").toStdString(), 0);
    std::printf("  the copy alone, no window:          %9.1f ms\n", bigCore);
    std::printf("  through the window:                 %9.1f ms\n", bigWindow.ms);
    goalRow("longest time without an event-loop turn", bigWindow.longestGapMs, kGapGoalMs);
    goalRow("longest wait of input to be read (a move every 5 ms)", bigWindow.longestInputWaitMs,
            kGapGoalMs);
    goalRow("from Yes to the end of the run (asked at a third)", stopped.yesToEndMs, kStopGoalMs);
    QDir(bench.path("big-core")).removeRecursively();
    QDir(bench.path("big-window")).removeRecursively();
    QDir(bench.path("big-stopped")).removeRecursively();
    QFile::remove(bench.path("big.bin"));

    bench.writeFile("small.bin", kSmallSize);
    const std::string small = bench.path("small.bin").toStdString();
    std::printf("A 4 KiB file, %d copies, median of 3 rounds:\n", kSmallCopies);
    struct Shape {
        const char* what;
        Bench::Entries entries;
    };
    // Each entry its own source, so that every copy is new and none asks.
    QDir(bench.folder.path()).mkpath("sources");
    Bench::Entries manyEntries;
    for (int i = 0; i < kSmallCopies; ++i) {
        const QString name = QStringLiteral("sources/file%1.bin").arg(i);
        bench.writeFile(name, kSmallSize);
        manyEntries.emplace_back(bench.path(name).toStdString(), "1");
    }
    const Shape shapes[] = {
        {"10,000 entries x 1 copy", manyEntries},
        {"1 entry x 10,000 copies", {{small, std::to_string(kSmallCopies)}}},
    };
    for (const Shape& shape : shapes) {
        std::vector<double> core;
        std::vector<double> window;
        for (int round = 0; round < 3; ++round) {
            core.push_back(bench.coreAlone(shape.entries, "small-core"));
            bench.check(bench.path("small-core").toStdString(), kSmallCopies);
            window.push_back(bench.throughTheWindow(shape.entries, "small-window").ms);
            bench.check(bench.path("small-window").toStdString(), kSmallCopies);
        }
        std::sort(core.begin(), core.end());
        std::sort(window.begin(), window.end());
        ratioRow(shape.what, core[1], window[1]);
    }
    return 0;
}
