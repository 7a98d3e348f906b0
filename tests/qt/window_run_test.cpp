#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>
#include <QtTest>
#include <stdexcept>

#include "platform/failure.h"
#include "qt/program.h"
#include "support/qt/window_test.h"
#include "window/handler_guard.h"

namespace expected = vantrel::expected;
using vantrel::test::pixels;
using vantrel::test::qtext;
using vantrel::test::Window;

namespace {

// What the progress display showed each time the run asked for a paint.
class RecordingPainter : public vantrel::ProgressPainter {
  public:
    void paintProgress(bool always) override {
        seen.push_back({always, caption->text(), fill->width()});
    }

    struct Seen {
        bool always;
        QString caption;
        int fillPixels;
        bool operator==(const Seen&) const = default;
    };
    QLabel* caption = nullptr;
    QWidget* fill = nullptr;
    std::vector<Seen> seen;
};

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A message box that fails itself, as a window system in trouble might.
class BrokenMessageBox : public vantrel::MessageBox {
  public:
    vantrel::Answer show(const std::string&, vantrel::Buttons) override {
        throw std::runtime_error("no display");
    }
};

// A message box at which the window manager asks the window to close instead of the user
// answering; it answers OK, and Yes to the question the close request asks.
class ClosingMessageBox : public vantrel::MessageBox {
  public:
    vantrel::Answer show(const std::string& text, vantrel::Buttons buttons) override {
        texts.push_back(text);
        if (buttons == vantrel::Buttons::YesNo) {
            return vantrel::Answer::Yes;
        }
        window->windowHandle()->close();
        stillShown = window->isVisible();
        return vantrel::Answer::Ok;
    }

    QWidget* window = nullptr;
    bool stillShown = false;
    std::vector<std::string> texts;
};

}  // namespace

class WindowRunTest : public vantrel::test::WindowTest {
    Q_OBJECT

  private slots:
    void init() {
        WindowTest::init();
        painter_.caption = window_->control<QLabel>("LabelProgress");
        painter_.fill = window_->control<QWidget>("ShapeProgress");
        painter_.seen.clear();
    }

    void fileSearchLaunchesTheFileManagerEveryTime() {
        window_->addRow("/data/a.txt", "1");
        window_->saveTo().setText("/out");
        auto* button = window_->control<QPushButton>("OpenWEBtn");
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);

        const auto& launched = window_->launcher.launched;
        QCOMPARE(launched.size(), std::size_t{2});
        for (const vantrel::LaunchCommand& command : launched) {
            QCOMPARE(command.commandLine(), window_->conventions.fileSearch.commandLine());
            QCOMPARE(command.commandLine(), std::string("xdg-open /"));
            QCOMPARE(command.style, vantrel::WindowStyle::Normal);
        }
        QVERIFY(window_->messageBox.shown.empty());
        QCOMPARE(window_->saveTo().text(), QStringLiteral("/out"));
        QCOMPARE(window_->controls().Text1.count(), 2);
        QCOMPARE(window_->controls().LabelProgress.caption(), std::string());
        QCOMPARE(window_->controls().ShapeProgress.width(), 0.0);
    }

    void aFailedLaunchIsToldAndTheButtonWorksAgain() {
        auto* button = window_->control<QPushButton>("OpenWEBtn");
        window_->launcher.failWith = vantrel::kFileNotFound;
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(window_->messageBox.shown.size(), std::size_t{1});
        QCOMPARE(window_->messageBox.shown[0].text,
                 std::string("Could not start xdg-open /.\r\nNo such file or directory"));
        window_->launcher.failWith = 0;
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(window_->launcher.launched.size(), std::size_t{1});
    }

    void replicatesFromTheWindow() {
        QDir home(window_->home.path());
        QVERIFY(home.mkpath("source.dir") && home.mkpath("out"));
        for (const char* name : {"source.dir/photo.jpg", "source.dir/notes.txt"}) {
            QFile file(home.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(name) > 0);
        }
        window_->addRow(home.filePath("source.dir/photo.jpg").toStdString(), "2");
        window_->addRow(home.filePath("source.dir/notes.txt").toStdString(), "1");
        window_->saveTo().setText(home.filePath("out"));

        QTest::mouseClick(window_->control<QPushButton>("ReplicateBtn"), Qt::LeftButton);

        QVERIFY(window_->messageBox.shown.empty());
        // A full bar is 8055 twips, 537 pixels.
        using Seen = RecordingPainter::Seen;
        const std::vector<Seen> seen{
            {false, qtext(expected::progress(1, 3)), pixels(expected::kFullBar / 3)},
            {false, qtext(expected::progress(2, 3)), pixels(expected::kFullBar * 2 / 3)},
            // A row end before the last is painted only as often as the window can show it.
            {false, qtext(expected::kDone), 0},
            {false, qtext(expected::progress(3, 3)), pixels(expected::kFullBar)},
            {true, qtext(expected::kDone), 0},
        };
        QCOMPARE(pixels(expected::kFullBar), 537);
        QCOMPARE(painter_.seen, seen);
        QCOMPARE(window_->controls().ShapeProgress.width(), 0.0);
        QCOMPARE(contentOf(home.filePath("out/photo(1).jpg")), QByteArray("source.dir/photo.jpg"));
        QCOMPARE(contentOf(home.filePath("out/photo(2).jpg")), QByteArray("source.dir/photo.jpg"));
        QCOMPARE(contentOf(home.filePath("out/notes(1).txt")), QByteArray("source.dir/notes.txt"));
        QCOMPARE(QDir(home.filePath("out")).count(), 5);  // with "." and ".."
        QCOMPARE(contentOf(home.filePath("Log.txt")),
                 QByteArray("photo(1).jpg\r\nphoto(2).jpg\r\nnotes(1).txt\r\n"));
    }

    void logButtonOpensTheLogOnlyWithAList() {
        auto* button = window_->control<QPushButton>("LogBtn");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(window_->messageBox.shown.size(), std::size_t{1});
        QCOMPARE(window_->messageBox.shown[0].text, expected::kNoCopiedFiles);
        QVERIFY(window_->launcher.launched.empty());

        window_->addRow("/data/a.txt", "1");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(window_->launcher.launched.size(), std::size_t{1});
        QCOMPARE(window_->launcher.launched[0].commandLine(),
                 "xdg-open " + window_->home.path().toStdString() + "/Log.txt");
    }

    // The program as main() builds it tells through real, modal message boxes with the window's
    // title.
    void theProgramTellsThroughItsOwnMessageBoxes() {
        vantrel::qt::Program program;
        vantrel::qt::Form1Window& form = program.window();
        form.open();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        vantrel::test::BoxAnswerer answerer(QMessageBox::Ok);

        QTest::mouseClick(form.findChild<QPushButton*>("ClearBtn"), Qt::LeftButton);

        QCOMPARE(answerer.answered.size(), std::size_t{1});
        QCOMPARE(answerer.answered[0].title, qtext(expected::kTitle));
        QCOMPARE(answerer.answered[0].text, qtext(expected::kNoFilesToDelete));
        QCOMPARE(answerer.answered[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(form.controls().Text1.count(), 1);
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.00"));
        QCOMPARE(form.windowIcon().availableSizes().size(), 6);
    }

    // A close request that comes while a run holds the window asks whether to stop; after Yes
    // the run goes on to its end with its controls, and the window closes once it is over.
    void aCloseDuringARunClosesTheWindowAfterTheRun() {
        ClosingMessageBox box;
        vantrel::Services services{
            box,      window_->fileSystem, window_->launcher, window_->conventions,
            painter_, window_->waiter};
        vantrel::qt::Form1Window form(services);
        form.open();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        box.window = &form;

        // No destination: the run stops at its first message.
        form.logic().ReplicateBtn_Click();

        QCOMPARE(box.texts, (std::vector<std::string>{expected::kSpecifyDestination,
                                                      expected::kStopQuestion}));
        QVERIFY(box.stillShown);
        QVERIFY(!form.isVisible());
    }

    void guardReportsWhateverEscapes_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("failure") << 0 << "Permission denied";
        QTest::newRow("standard exception") << 1 << "bad thing";
        QTest::newRow("anything else") << 2 << "An unexpected failure ended the last action.";
    }

    void guardReportsWhateverEscapes() {
        QFETCH(int, kind);
        QFETCH(QString, message);
        vantrel::test::FakeMessageBox box;
        vantrel::runHandler(box, [kind] {
            switch (kind) {
                case 0:
                    throw vantrel::Failure(vantrel::kPermissionDenied, "Permission denied");
                case 1:
                    throw std::logic_error("bad thing");
                default:
                    throw 42;
            }
        });
        QCOMPARE(box.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(box.shown[0].text), message);
        QCOMPARE(box.shown[0].buttons, vantrel::Buttons::Ok);
    }

    void guardSurvivesABrokenMessageBox() {
        BrokenMessageBox box;
        vantrel::runHandler(box, [] { throw std::runtime_error("first"); });
        bool ranAgain = false;
        vantrel::runHandler(box, [&ranAgain] { ranAgain = true; });
        QVERIFY(ranAgain);
    }

  private:
    vantrel::ProgressPainter& painter() override { return painter_; }

    RecordingPainter painter_;
};

QTEST_MAIN(WindowRunTest)
#include "window_run_test.moc"
