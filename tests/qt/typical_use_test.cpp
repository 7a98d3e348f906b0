#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "support/qt/file_list_test.h"

namespace expected = vantrel::expected;
using vantrel::Answer;
using vantrel::Buttons;
using vantrel::test::draggedFiles;

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

}  // namespace

class TypicalUseTest : public vantrel::test::FileListTest {
    Q_OBJECT

  private slots:
    // The road of a typical use, on real files: drop, type a count, type a missing folder,
    // replicate, open the log; then again over the copies the first run made.
    void dropTypeReplicateAndOpenTheLog() {
        QTemporaryDir files;
        QVERIFY(files.isValid());
        QDir folder(files.path());
        QByteArray picture;
        for (int i = 0; i < 1000; ++i) {
            picture.append(static_cast<char>(i % 256));
        }
        const QByteArray text("first line\r\nsecond line\n");
        QVERIFY(folder.mkpath("pics") && folder.mkpath("docs"));
        QVERIFY(writeFile(folder.filePath("pics/a.jpg"), picture));
        QVERIFY(writeFile(folder.filePath("docs/b.txt"), text));

        QVERIFY(dropOnPicture1(
            *draggedFiles({folder.filePath("pics/a.jpg"), folder.filePath("docs/b.txt")})));
        QCOMPARE(countTexts(), QStringList({"1", "1"}));

        QLineEdit* count = slide().countEditor(1);
        QVERIFY(count != nullptr);
        QTest::mouseClick(count, Qt::LeftButton);
        QTest::keyClick(count, Qt::Key_Home);
        QTest::keyClick(count, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClicks(count, "3");
        QCOMPARE(countTexts(), QStringList({"3", "1"}));

        const QString out = folder.filePath("out/deeper");
        QLineEdit& saveTo = window_->saveTo();
        QTest::mouseClick(&saveTo, Qt::LeftButton);
        QTest::keyClick(&saveTo, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&saveTo, out);
        QCOMPARE(saveTo.text(), out);

        auto& box = window_->messageBox;
        box.script({Answer::Yes});
        auto* replicate = window_->control<QPushButton>("ReplicateBtn");
        QTest::mouseClick(replicate, Qt::LeftButton);

        QCOMPARE(box.shown.size(), std::size_t{1});
        QCOMPARE(box.shown[0].text, expected::createFolderPrompt(out.toStdString()));
        QCOMPARE(box.shown[0].buttons, Buttons::YesNo);
        QDir copies(out);
        QCOMPARE(copies.entryList(QDir::Files, QDir::Name),
                 QStringList({"a(1).jpg", "a(2).jpg", "a(3).jpg", "b(1).txt"}));
        for (const char* name : {"a(1).jpg", "a(2).jpg", "a(3).jpg"}) {
            QCOMPARE(contentOf(copies.filePath(name)), picture);
        }
        QCOMPARE(contentOf(copies.filePath("b(1).txt")), text);
        QCOMPARE(progressCaption(), vantrel::test::qtext(expected::kDone));
        QCOMPARE(window_->controls().ShapeProgress.width(), 0.0);
        QCOMPARE(window_->control<QWidget>("ShapeProgress")->width(), 0);
        const QString log = QString::fromStdString(window_->conventions.logPath);
        QCOMPARE(contentOf(log), QByteArray("a(1).jpg\r\na(2).jpg\r\na(3).jpg\r\nb(1).txt\r\n"));

        QTest::mouseClick(window_->control<QPushButton>("LogBtn"), Qt::LeftButton);
        QCOMPARE(window_->launcher.launched.size(), std::size_t{1});
        const vantrel::LaunchCommand& launched = window_->launcher.launched[0];
        QCOMPARE(launched.commandLine(), window_->conventions.openLog.commandLine());
        QCOMPARE(launched.commandLine(), "xdg-open " + log.toStdString());
        QCOMPARE(launched.style, vantrel::WindowStyle::Minimized);

        // Again, over copies that have changed since: the answered No keeps its old content.
        for (const char* name : {"a(1).jpg", "a(2).jpg", "a(3).jpg", "b(1).txt"}) {
            QVERIFY(writeFile(copies.filePath(name), "old"));
        }
        box.shown.clear();
        box.script({Answer::Yes, Answer::No, Answer::Yes, Answer::Yes});
        QTest::mouseClick(replicate, Qt::LeftButton);

        QCOMPARE(box.unusedAnswers(), std::size_t{0});
        QCOMPARE(box.shown.size(), std::size_t{4});
        const char* prompted[] = {"a(1).jpg", "a(2).jpg", "a(3).jpg", "b(1).txt"};
        for (std::size_t i = 0; i < 4; ++i) {
            QCOMPARE(box.shown[i].text, expected::replacePrompt(prompted[i]));
            QCOMPARE(box.shown[i].buttons, Buttons::YesNoCancel);
        }
        QCOMPARE(contentOf(copies.filePath("a(1).jpg")), picture);
        QCOMPARE(contentOf(copies.filePath("a(2).jpg")), QByteArray("old"));
        QCOMPARE(contentOf(copies.filePath("a(3).jpg")), picture);
        QCOMPARE(contentOf(copies.filePath("b(1).txt")), text);
        QCOMPARE(contentOf(log), QByteArray("a(1).jpg\r\na(3).jpg\r\nb(1).txt\r\n"));
        QCOMPARE(progressCaption(), vantrel::test::qtext(expected::kDone));
        QCOMPARE(window_->controls().ShapeProgress.width(), 0.0);
    }

  private:
    QString progressCaption() {
        return QString::fromStdString(window_->controls().LabelProgress.caption());
    }
};

QTEST_MAIN(TypicalUseTest)
#include "typical_use_test.moc"
