// A run the user stays in charge of, driven as a user drives it: real clicks and keys through
// the X server (xdotool), a close request through the window manager (openbox), while the
// second of three copies is under way. Runs under Xvfb with openbox (with_window_manager.sh).

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <memory>
#include <thread>

#include "filelist/file_list.h"
#include "platform/fs/real_file_system.h"
#include "qt/form1_window.h"
#include "qt/progress_repainter.h"
#include "qt/qt_message_box.h"
#include "qt/qt_waiter.h"
#include "support/fake_launcher.h"
#include "support/held_file_system.h"
#include "support/run_control_cases.h"

namespace {

using vantrel::test::RunControlCase;
using vantrel::test::UserAct;

// Answers each message box with the case's button once it waits for an answer.
class Answerer : public QObject {
  public:
    explicit Answerer(QMessageBox::StandardButton press) : press_(press) {
        QApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box != nullptr && event->type() == QEvent::Show) {
            QTimer::singleShot(0, box, [this, box] {
                texts.push_back(box->text());
                titles.push_back(box->windowTitle());
                if (QAbstractButton* button = box->button(press_)) {
                    button->click();
                } else {
                    box->reject();
                }
                ++answered;
            });
        }
        return false;
    }

    QStringList texts;
    QStringList titles;
    std::atomic<int> answered = 0;

  private:
    QMessageBox::StandardButton press_;
};

bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class RunControlTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb") ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            QSKIP("needs an X server with a window manager, and xdotool");
        }
    }

    void theUserStaysInChargeOfARun_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < vantrel::test::runControlCases().size(); ++i) {
            QTest::newRow(vantrel::test::runControlCases()[i].name) << static_cast<int>(i);
        }
    }

    void theUserStaysInChargeOfARun() {
        QFETCH(int, index);
        const RunControlCase& c = vantrel::test::runControlCases()[static_cast<std::size_t>(index)];
        QTemporaryDir home;
        const QString out = home.filePath(QStringLiteral("out"));
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("out")));
        QFile source(home.filePath(QStringLiteral("a.txt")));
        QVERIFY(source.open(QIODevice::WriteOnly) && source.write(QByteArray(1 << 20, 'a')) > 0);
        source.close();

        vantrel::qt::QtMessageBox messageBox(QStringLiteral("Vantrel ver. 2"));
        vantrel::RealFileSystem real;
        vantrel::test::HeldFileSystem fileSystem(real, 2);
        vantrel::test::FakeLauncher launcher;
        const vantrel::Conventions conventions =
            vantrel::Conventions::posix(home.path().toStdString());
        vantrel::qt::ProgressRepainter painter;
        vantrel::qt::QtWaiter waiter;
        vantrel::Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
        vantrel::qt::Form1Window form(services);
        painter.watch(&form, form.progressArea());
        form.open();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        vantrel::FileList(form.controls().Text1, form.controls().CopyTimes)
            .append(source.fileName().toStdString(), "3");
        form.controls().SaveTo.setText(out.toStdString());

        Answerer answerer(c.answer == vantrel::Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
        const auto* replicate = form.findChild<QPushButton*>(QStringLiteral("ReplicateBtn"));
        const QPoint at = replicate->mapTo(&form, replicate->rect().center());
        const QString window = QString::number(form.winId());
        const QStringList click{
            QStringLiteral("mousemove"), QStringLiteral("--window"), window,
            QString::number(at.x()),     QString::number(at.y()),    QStringLiteral("click"),
            QStringLiteral("1")};
        std::atomic<bool> acted = false;
        std::thread user([&] {
            xdotool(click);
            if (fileSystem.waitUntilHeld()) {
                switch (c.act) {
                    case UserAct::Escape:
                        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
                        break;
                    case UserAct::Close:
                        // openbox's own Close: WM_DELETE_WINDOW, as from the title bar.
                        xdotool({QStringLiteral("key"), QStringLiteral("alt+F4")});
                        break;
                    case UserAct::SecondReplicate:
                        xdotool(click);
                        break;
                }
                // The question is answered before the copy goes on; a refused click leaves
                // nothing to wait for.
                for (int i = 0;
                     i < 500 && c.answer != vantrel::Answer::Ok && answerer.answered == 0; ++i) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            }
            acted = true;
            fileSystem.release();
        });
        QTRY_VERIFY_WITH_TIMEOUT(acted && !form.logic().running(), 30000);
        user.join();
        // What a refused click or key left queued would act now.
        QTest::qWait(300);

        QStringList copies;
        QString log;
        for (const std::string& name : c.copies) {
            copies << QString::fromStdString(name);
            log += QString::fromStdString(name) + QStringLiteral("\r\n");
        }
        QCOMPARE(namesIn(out), copies);
        QFile logFile(home.filePath(QStringLiteral("Log.txt")));
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(logFile.readAll()), log);
        QCOMPARE(form.controls().LabelProgress.caption(), c.caption);
        QCOMPARE(form.controls().ShapeProgress.width(), 0.0);
        QCOMPARE(form.isVisible(), !c.windowCloses);
        if (c.answer == vantrel::Answer::Ok) {
            QCOMPARE(answerer.texts, QStringList());
        } else {
            QCOMPARE(
                answerer.texts,
                QStringList{QStringLiteral("Stop replicating?\nThe copies made so far are kept.")});
            QCOMPARE(answerer.titles, QStringList{QStringLiteral("Vantrel ver. 2")});
        }
        QVERIFY(replicate->isEnabled());
    }
};

}  // namespace

QTEST_MAIN(RunControlTest)
#include "run_control_test.moc"
