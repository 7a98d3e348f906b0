// What the window costs: one 4 KiB file replicated 10,000 times through the window's
// ReplicateBtn_Click with the progress repainted, beside the same copies made by the core alone;
// and the time from the start of the program to its window on screen, measured on a copy of
// this bench started as `window_bench --startup-child`, which does what the program's main()
// does and reports when its window is first exposed.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "filelist/file_list.h"
#include "platform/conventions.h"
#include "platform/fs/real_file_system.h"
#include "qt/form1_window.h"
#include "qt/program.h"
#include "qt/progress_repainter.h"
#include "replication/replication_run.h"
#include "support/fake_launcher.h"
#include "support/fake_message_box.h"
#include "support/fake_painter.h"
#include "support/fake_replication_window.h"
#include "support/fake_waiter.h"

namespace {

constexpr int kCopies = 10000;
constexpr int kRounds = 5;
constexpr int kStarts = 7;
constexpr const char* kStartupChild = "--startup-child";

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double millisecondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

struct Bench {
    QTemporaryDir folder;
    QString source;
    vantrel::test::FakeMessageBox messageBox;
    vantrel::RealFileSystem fileSystem;
    vantrel::test::FakeLauncher launcher;
    vantrel::Conventions conventions = vantrel::Conventions::posix(folder.path().toStdString());

    Bench() {
        messageBox.alwaysAnswer(vantrel::Answer::Yes);
        source = QDir(folder.path()).filePath("source.bin");
        QFile file(source);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(4096, 'v')) != 4096) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
            std::exit(1);
        }
    }

    // A fresh, empty destination, so that no copy asks before replacing. The disk is settled
    // first: the writes and removals of the run before must not be paid by this one.
    std::string destination(const QString& name) {
        QDir dir(folder.path());
        QDir(dir.filePath(name)).removeRecursively();
        dir.mkpath(name);
#ifdef Q_OS_UNIX
        ::sync();
#endif
        return dir.filePath(name).toStdString();
    }

    void checkCopies(const std::string& destination) {
        const auto made = QDir(QString::fromStdString(destination)).entryList(QDir::Files).size();
        if (made != kCopies || !messageBox.shown.empty()) {
            std::fprintf(stderr, "expected %d copies, found %lld; %zu messages\n", kCopies,
                         static_cast<long long>(made), messageBox.shown.size());
            std::exit(1);
        }
    }

    double coreAlone() {
        vantrel::test::FakeReplicationWindow window;
        window.saveTo.setText(destination("core"));
        window.addRowPath(source.toStdString(), std::to_string(kCopies));
        vantrel::test::NoPainting painter;
        vantrel::test::NoWaiting waiter;
        vantrel::Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
        const double ms =
            millisecondsOf([&] { vantrel::ReplicateBtn_Click(window.controls, services); });
        checkCopies(window.saveTo.text());
        return ms;
    }

    double throughTheWindow(int& paints) {
        vantrel::qt::ProgressRepainter painter;
        vantrel::test::NoWaiting waiter;
        vantrel::Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
        vantrel::qt::Form1Window form(services);
        painter.watch(&form, form.progressArea());
        form.open();
        QElapsedTimer waited;
        waited.start();
        while (!(form.windowHandle() != nullptr && form.windowHandle()->isExposed()) &&
               waited.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        if (!form.windowHandle()->isExposed()) {
            std::fprintf(stderr, "the window was not shown\n");
            std::exit(1);
        }
        const vantrel::Form1Controls& controls = form.controls();
        vantrel::FileList(controls.Text1, controls.CopyTimes)
            .append(source.toStdString(), std::to_string(kCopies));
        const std::string to = destination("window");
        controls.SaveTo.setText(to);
        QCoreApplication::processEvents();

        struct PaintCounter : QObject {
            int count = 0;
            bool eventFilter(QObject*, QEvent* event) override {
                count += event->type() == QEvent::Paint;
                return false;
            }
        } counter;
        form.findChild<QWidget*>("ShapeProgressBack")->installEventFilter(&counter);
        const double ms = millisecondsOf([&] { form.logic().ReplicateBtn_Click(); });
        paints = counter.count;
        checkCopies(to);
        return ms;
    }
};

// Reports, once the watched window is first exposed, how long it took since `sinceStart`,
// then quits.
class StartupProbe : public QObject {
  public:
    explicit StartupProbe(const QElapsedTimer& sinceStart) : sinceStart_(sinceStart) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            // Once the expose is handled, the window has been painted.
            QTimer::singleShot(0, [this] {
                std::printf("window shown after %.1f ms in main\n",
                            static_cast<double>(sinceStart_.nsecsElapsed()) / 1e6);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

  private:
    const QElapsedTimer& sinceStart_;
};

// The program's main(), with the probe on its window.
int startupChild(int argc, char* argv[], const QElapsedTimer& sinceStart) {
    vantrel::qt::chooseClassicStyle();
    QApplication application(argc, argv);
    vantrel::qt::Program program;
    program.window().open();
    StartupProbe probe(sinceStart);
    program.window().windowHandle()->installEventFilter(&probe);
    return QApplication::exec();
}

// Starts the start-up child and reads when its window was first shown.
void startupTimes(const QString& program, const QByteArray& platform) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (platform.isEmpty()) {
        environment.remove("QT_QPA_PLATFORM");
    } else {
        environment.insert("QT_QPA_PLATFORM", QString::fromLatin1(platform));
    }
    std::vector<double> outside;
    std::vector<double> inside;
    for (int start = 0; start <= kStarts; ++start) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer timer;
        timer.start();
        process.start(program, {QString::fromLatin1(kStartupChild)});
        QByteArray line;
        while (!line.endsWith('\n') && process.waitForReadyRead(10000)) {
            line += process.readAllStandardOutput();
        }
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        process.waitForFinished(10000);
        double inMain = 0;
        if (std::sscanf(line.constData(), "window shown after %lf ms in main", &inMain) != 1) {
            std::fprintf(stderr, "no start-up report from %s: %s\n", qPrintable(program),
                         process.readAllStandardError().constData());
            return;
        }
        // The first start warms the caches and is not counted.
        if (start > 0) {
            outside.push_back(ms);
            inside.push_back(inMain);
        }
    }
    std::printf(
        "start-up (%s, median of %d warm starts): %.1f ms from process start to the "
        "window shown, %.1f ms of it in main()  [goal < 300 ms]\n",
        platform.isEmpty() ? "xcb" : platform.constData(), kStarts, median(outside),
        median(inside));
}

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (argc == 2 && std::strcmp(argv[1], kStartupChild) == 0) {
        return startupChild(argc, argv, sinceStart);
    }
    // The child program is shown where this bench was asked to show windows: on the X display
    // when there is one, else offscreen. The bench's own window is always offscreen.
    QByteArray childPlatform = qgetenv("QT_QPA_PLATFORM");
    if (childPlatform.isEmpty() && qEnvironmentVariableIsEmpty("DISPLAY")) {
        childPlatform = "offscreen";
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    Bench bench;
    std::vector<double> core;
    std::vector<double> window;
    int paints = 0;
    for (int round = 0; round < kRounds; ++round) {
        core.push_back(bench.coreAlone());
        window.push_back(bench.throughTheWindow(paints));
    }
    const double coreMs = median(core);
    const double windowMs = median(window);
    std::printf("%d copies of a 4 KiB file, median of %d runs each:\n", kCopies, kRounds);
    std::printf("  core alone (fake controls, no painting): %8.1f ms\n", coreMs);
    std::printf("  through the window, progress repainted:  %8.1f ms  (%d paints of the bar)\n",
                windowMs, paints);
    for (int round = 0; round < kRounds; ++round) {
        std::printf("  round %d: core %.1f ms, window %.1f ms\n", round + 1, core[round],
                    window[round]);
    }
    std::printf(
        "  ratio window / core: %.3f of the medians, %.3f of the fastest runs  "
        "[goal <= 1.3]\n",
        windowMs / coreMs,
        *std::min_element(window.begin(), window.end()) /
            *std::min_element(core.begin(), core.end()));

    startupTimes(QCoreApplication::applicationFilePath(), childPlatform);
    return 0;
}
