// Whether the window stays alive during a run, and what that costs, offscreen:
//  - the longest time the window's thread went without turning its event loop while one large
//    file was copied through ReplicateBtn_Click, beside the copy's own time without a window;
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
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
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

namespace {

using namespace vantrel;

constexpr int kSmallCopies = 10000;
constexpr qint64 kSmallSize = 4096;
constexpr double kGapGoalMs = 100;
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
    };

    // The run through the window, with a timer of 1 ms on the window's thread whose firings
    // show every turn of its event loop.
    WindowRun throughTheWindow(const Entries& entries, const QString& name) {
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
        clock.start();
        form.logic().ReplicateBtn_Click();
        const qint64 total = clock.nsecsElapsed();
        longest = std::max(longest, total - last);
        return {static_cast<double>(total) / 1e6, static_cast<double>(longest) / 1e6};
    }

    QTemporaryDir folder;
    test::FakeMessageBox messageBox;
    RealFileSystem fileSystem;
    test::FakeLauncher launcher;
    Conventions conventions = Conventions::posix(folder.path().toStdString());
};

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
    const Bench::WindowRun bigWindow = bench.throughTheWindow(big, "big-window");
    bench.check(bench.path("big-window").toStdString(), 1);
    std::printf("  the copy alone, no window:          %9.1f ms\n", bigCore);
    std::printf("  through the window:                 %9.1f ms\n", bigWindow.ms);
    std::printf("  longest time without an event-loop turn: %.1f ms  [goal <= %.0f ms]\n",
                bigWindow.longestGapMs, kGapGoalMs);
    QDir(bench.path("big-core")).removeRecursively();
    QDir(bench.path("big-window")).removeRecursively();
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
