#include <QApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include "platform/failure.h"
#include "qt/progress_repainter.h"
#include "qt/qt_controls.h"
#include "qt/qt_launcher.h"
#include "qt/qt_message_box.h"

using vantrel::Answer;
using vantrel::Buttons;

namespace {

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

        QString title;
        QString text;
        QMessageBox::StandardButtons offered;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            answerer.stop();
            title = box->windowTitle();
            text = box->text();
            offered = box->standardButtons();
            box->button(press)->click();
        });
        answerer.start(10);

        vantrel::qt::QtMessageBox messageBox(QStringLiteral("Vantrel ver. 2"));
        QCOMPARE(messageBox.show("The file a(1).txt exist !\r\n\r\nReplace?", buttons), answer);
        QCOMPARE(title, QStringLiteral("Vantrel ver. 2"));
        QCOMPARE(text, QStringLiteral("The file a(1).txt exist !\n\nReplace?"));
        QCOMPARE(offered, shown);
    }

    void launchStartsAProgramWithoutWaiting() {
        vantrel::qt::QtLauncher launcher;
        launcher.launch({"true", {}, vantrel::WindowStyle::Normal});
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

    // At most one paint per 1/30 s unless asked for always, and no event is handled meanwhile.
    void progressPaintsAreThrottledAndHandleNoEvents() {
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
        for (int step = 0; step < 1000; ++step) {
            painter.paintProgress(false);
        }
        QCOMPARE(counter.paints, 1);
        painter.paintProgress(true);
        painter.paintProgress(true);
        QCOMPARE(counter.paints, 3);
        QThread::msleep(vantrel::qt::ProgressRepainter::kIntervalMs + 5);
        painter.paintProgress(false);
        QCOMPARE(counter.paints, 4);
        QVERIFY(!handled);
    }
};

QTEST_MAIN(QtPlatformTest)
#include "qt_platform_test.moc"
