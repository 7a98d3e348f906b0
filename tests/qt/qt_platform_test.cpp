#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "platform/failure.h"
#include "qt/progress_repainter.h"
#include "qt/qt_controls.h"
#include "qt/qt_launcher.h"
#include "qt/qt_message_box.h"
#include "support/qt/window_fixture.h"

namespace expected = vantrel::expected;
using vantrel::Answer;
using vantrel::Buttons;
using vantrel::test::qtext;

namespace {

// Long enough for any machine; it only bounds a failure.
constexpr int kPatienceMs = 30000;

class PaintCounter : public QObject {
  public:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

}  // namespace

class QtPlatformTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() {
        QVERIFY2(QApplication::topLevelWidgets().isEmpty(),
                 vantrel::test::leftoverWindows().constData());
    }

    void messageBox_data() {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<QMessageBox::StandardButtons>("shown");
        QTest::addColumn<QMessageBox::StandardButton>("press");
        QTest::addColumn<Answer>("answer");
        const QMessageBox::StandardButtons yesNoCancel =
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        QTest::newRow("ok") << Buttons::Ok << QMessageBox::StandardButtons(QMessageBox::Ok)
                            << QMessageBox::Ok << Answer::Ok;
        QTest::newRow("yes of yes/no") << Buttons::YesNo << (QMessageBox::Yes | QMessageBox::No)
                                       << QMessageBox::Yes << Answer::Yes;
        QTest::newRow("no of yes/no") << Buttons::YesNo << (QMessageBox::Yes | QMessageBox::No)
                                      << QMessageBox::No << Answer::No;
        QTest::newRow("yes") << Buttons::YesNoCancel << yesNoCancel << QMessageBox::Yes
                             << Answer::Yes;
        QTest::newRow("no") << Buttons::YesNoCancel << yesNoCancel << QMessageBox::No << Answer::No;
        QTest::newRow("cancel") << Buttons::YesNoCancel << yesNoCancel << QMessageBox::Cancel
                                << Answer::Cancel;
    }

    // The box is modal: it is answered from inside its own event loop, as a person would.
    void messageBox() {
        QFETCH(Buttons, buttons);
        QFETCH(QMessageBox::StandardButtons, shown);
        QFETCH(QMessageBox::StandardButton, press);
        QFETCH(Answer, answer);

        vantrel::test::BoxAnswerer answerer(press);

        vantrel::qt::QtMessageBox messageBox(qtext(expected::kTitle));
        QCOMPARE(messageBox.show(expected::replacePrompt("a(1).txt"), buttons), answer);
        QCOMPARE(answerer.answered.size(), std::size_t{1});
        QCOMPARE(answerer.answered[0].title, qtext(expected::kTitle));
        // Qt breaks lines at a line feed alone.
        QCOMPARE(answerer.answered[0].text,
                 qtext(expected::replacePrompt("a(1).txt")).replace("\r\n", "\n"));
        QCOMPARE(answerer.answered[0].buttons, shown);
    }

    // The program marks that it started, then waits for a file that is made only once launch
    // has returned: it can have ended neither before the call returned nor before the file.
    void launchStartsAProgramWithoutWaiting() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString started = folder.filePath("started");
        const QString release = folder.filePath("release");
        const QString ended = folder.filePath("ended");
        // The wait is bounded, so that a failed test leaves no program behind for long.
        const std::string script =
            "touch \"$1\"; i=0; while [ ! -e \"$2\" ] && [ $i -lt 6000 ]; do sleep 0.01; "
            "i=$((i+1)); done; touch \"$3\"";

        vantrel::qt::QtLauncher launcher;
        launcher.launch({"/bin/sh",
                         {"-c", script, "sh", started.toStdString(), release.toStdString(),
                          ended.toStdString()},
                         vantrel::WindowStyle::Normal});

        QVERIFY(!QFile::exists(ended));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(started), kPatienceMs);
        QVERIFY(!QFile::exists(ended));
        QFile releaseFile(release);
        QVERIFY(releaseFile.open(QIODevice::WriteOnly));
        releaseFile.close();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ended), kPatienceMs);
    }

    // A log path that is not UTF-8 reaches the program as the bytes it is.
    void argumentsReachTheProgramAsTheirBytes() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const std::string logPath = folder.path().toStdString() + "/caf\xe9/Log.txt";
        const QString received = folder.filePath("received");

        vantrel::qt::QtLauncher launcher;
        launcher.launch({"/bin/sh",
                         {"-c", "printf %s \"$1\" > \"$2.part\" && mv \"$2.part\" \"$2\"", "sh",
                          logPath, received.toStdString()},
                         vantrel::WindowStyle::Normal});

        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(received), kPatienceMs);
        QFile file(received);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray::fromStdString(logPath));
    }

    void aProgramThatCannotStartIsAFailure() {
        vantrel::qt::QtLauncher launcher;
        try {
            launcher.launch(
                {"/nonexistent/vantrel-viewer", {"/"}, vantrel::WindowStyle::Minimized});
            QFAIL("no failure");
        } catch (const vantrel::Failure& failure) {
            QCOMPARE(failure.number(), int{vantrel::kFileNotFound});
            QVERIFY2(QString::fromStdString(failure.reason()).contains("No such file"),
                     failure.what());
        }
    }

    void scrollBarSettings() {
        QWidget parent;
        auto* widget = new QScrollBar(Qt::Vertical, &parent);
        vantrel::qt::QtScrollBar bar(widget, {120, 3960, 255, 3135});
        QCOMPARE(widget->geometry(), QRect(8, 264, 17, 209));
        QCOMPARE(bar.min(), 0);
        QCOMPARE(bar.max(), 32767);
        QCOMPARE(bar.smallChange(), 1);
        QCOMPARE(bar.largeChange(), 1);

        QSignalSpy changes(widget, &QScrollBar::valueChanged);
        bar.setMin(-30);
        QCOMPARE(bar.min(), -30);
        QCOMPARE(bar.value(), 0);
        QCOMPARE(changes.count(), 0);

        bar.setMax(22);
        bar.setSmallChange(200);
        bar.setLargeChange(278);
        QCOMPARE(widget->singleStep(), 200);
        QCOMPARE(widget->pageStep(), 278);
        widget->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(bar.value(), 22);
        QCOMPARE(changes.count(), 1);

        // Visible is the bar's own setting, also while its window is not on screen.
        QVERIFY(bar.visible());
        bar.setVisible(false);
        QVERIFY(!bar.visible());
    }

    void shapeKeepsTheTwipsItWasGiven() {
        QWidget parent;
        auto* widget = new vantrel::qt::ShapeWidget(&parent, Qt::blue, 2);
        vantrel::qt::QtShape shape(widget, {360, 6840, 675, 255});
        shape.setWidth(2685.5F);
        QCOMPARE(shape.width(), 2685.5);
        QCOMPARE(widget->geometry(), QRect(24, 456, 179, 17));
        shape.setWidth(0);
        QCOMPARE(widget->width(), 0);
    }

    void droppedFiles() {
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile("/pics/a.jpg"), QUrl("https://example.org/b.txt"),
                       QUrl::fromLocalFile("/docs/b c.txt")});
        const vantrel::qt::DroppedFileList list(files);
        QCOMPARE(list.count(), 2LL);
        QCOMPARE(list.file(1), std::string("/pics/a.jpg"));
        QCOMPARE(list.file(2), std::string("/docs/b c.txt"));

        QMimeData empty;
        empty.setUrls({});
        QCOMPARE(vantrel::qt::DroppedFileList(empty).count(), 0LL);

        QMimeData text;
        text.setText("/pics/a.jpg");
        try {
            vantrel::qt::DroppedFileList(text).count();
            QFAIL("no failure");
        } catch (const vantrel::Failure& failure) {
            QCOMPARE(failure.number(), int{vantrel::kNoFileList});
        }
    }

    // At most one paint per 1/30 s unless asked for always; a paint lets the window's pending
    // events run. The painter's clock cannot be read, so each call is judged by readings taken
    // around it and around the last paint: only calls surely too soon or surely late enough are
    // judged, and the machine's speed decides nothing.
    void progressPaintsAreThrottledAndLetPendingEventsRun() {
        QWidget window;
        window.resize(200, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        PaintCounter counter;
        window.installEventFilter(&counter);
        bool handled = false;
        QTimer::singleShot(0, &window, [&handled] { handled = true; });

        vantrel::qt::ProgressRepainter painter;
        painter.watch(&window, QRect(0, 0, 200, 20));
        QElapsedTimer clock;
        clock.start();
        struct Call {
            qint64 began;
            qint64 ended;
            bool painted;
        };
        const auto paint = [&](bool always) {
            const int before = counter.paints;
            const qint64 began = clock.nsecsElapsed();
            painter.paintProgress(always);
            const qint64 ended = clock.nsecsElapsed();
            return Call{began, ended, counter.paints > before};
        };
        const qint64 interval = vantrel::qt::ProgressRepainter::kIntervalMs * 1000000;

        Call last = paint(false);
        QVERIFY(last.painted);
        QVERIFY(handled);
        int skipped = 0;
        bool paintedWhenDue = false;
        const QDeadlineTimer patience(kPatienceMs);
        while ((skipped == 0 || !paintedWhenDue) && !patience.hasExpired()) {
            const Call call = paint(false);
            if (call.ended - last.began < interval) {
                QVERIFY2(!call.painted, "painted within 1/30 s of the last paint");
                ++skipped;
            } else if (call.began - last.ended >= interval) {
                QVERIFY2(call.painted, "skipped a paint 1/30 s after the last one");
                paintedWhenDue = true;
            }
            if (call.painted) {
                last = call;
            }
        }
        QVERIFY(skipped > 0);
        QVERIFY(paintedWhenDue);

        const Call first = paint(true);
        const Call second = paint(true);
        QVERIFY(first.painted);
        QVERIFY(second.painted);
    }
};

QTEST_MAIN(QtPlatformTest)
#include "qt_platform_test.moc"
