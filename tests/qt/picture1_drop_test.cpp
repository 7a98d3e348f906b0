#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

#include "support/qt/file_list_test.h"

namespace expected = vantrel::expected;
using vantrel::Buttons;
using vantrel::test::draggedFiles;
using vantrel::test::dropThroughWindow;

class Picture1DropTest : public vantrel::test::FileListTest {
    Q_OBJECT

  private slots:
    void dropData_data() {
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<bool>("refused");

        QTest::newRow("files and a web link")
            << QStringList{"file:///pics/a.jpg", "https://example.org/b.txt", "file:///c.txt"}
            << QString() << QStringList{"/pics/a.jpg", "/c.txt"} << false;
        QTest::newRow("only a web link")
            << QStringList{"https://example.org/a.jpg"}
            << QStringLiteral("https://example.org/a.jpg") << QStringList() << true;
        QTest::newRow("a path holding a NUL")
            << QStringList{"file:///home/u/secret.key%00/cat.jpg", "file:///pics/a.jpg"}
            << QString() << QStringList{"/pics/a.jpg"} << false;
        QTest::newRow("only a path holding a NUL")
            << QStringList{"file:///home/u/secret.key%00/cat.jpg"} << QString() << QStringList()
            << true;
    }

    // What the URI list holds beyond plain files, onto a list that already has an entry: a
    // refused drop leaves it as it was. Files, an empty list and plain text are the shared
    // table's (form1_window_test.cpp).
    void dropData() {
        QFETCH(QStringList, urls);
        QFETCH(QString, text);
        QFETCH(QStringList, added);
        QFETCH(bool, refused);
        QVERIFY(dropOnPicture1(*draggedFiles({"/kept/first.txt"})));
        QMimeData data;
        QList<QUrl> list;
        for (const QString& url : urls) {
            list << QUrl(url);
        }
        data.setUrls(list);
        if (!text.isNull()) {
            data.setText(text);
        }

        QVERIFY(dropOnPicture1(data));

        QCOMPARE(pathTexts(), QStringList{"/kept/first.txt"} + added);
        QCOMPARE(counts().count(), paths().count());
        QCOMPARE(paths().item(paths().ubound()).top(),
                 expected::rowTop(static_cast<int>(added.size()) + 1));
        QCOMPARE(window_->messageBox.shown.size(), std::size_t{refused ? 1U : 0U});
        if (refused) {
            QCOMPARE(window_->messageBox.shown[0].text, expected::kNoFileName);
            QCOMPARE(window_->messageBox.shown[0].buttons, Buttons::Ok);
        }
    }

    void onlyPicture1TakesDrops_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("taken");
        // Points are inside the named control and clear of its children.
        QTest::newRow("Picture1") << "Picture1" << QPoint(40, 40) << true;
        QTest::newRow("path box") << "Text1(1)" << QPoint(40, 10) << false;
        QTest::newRow("count box") << "CopyTimes(1)" << QPoint(20, 10) << false;
        QTest::newRow("FrameSlide") << "FrameSlide" << QPoint(3, 3) << false;
        QTest::newRow("FrameFix") << "FrameFix" << QPoint(3, 180) << false;
        QTest::newRow("DropArea") << "DropArea" << QPoint(3, 3) << false;
        QTest::newRow("SaveTo") << "SaveTo" << QPoint(40, 10) << false;
        QTest::newRow("Dir1") << "Dir1" << QPoint(40, 40) << false;
        QTest::newRow("Drive1") << "Drive1" << QPoint(40, 10) << false;
        QTest::newRow("ClearBtn") << "ClearBtn" << QPoint(20, 10) << false;
        QTest::newRow("Form1") << "Form1" << QPoint(2, 2) << false;
    }

    void onlyPicture1TakesDrops() {
        QFETCH(QString, control);
        QFETCH(QPoint, point);
        QFETCH(bool, taken);
        QVERIFY(dropOnPicture1(*draggedFiles({"/kept/first.txt"})));
        QVERIFY(slide().pathEditor(1) != nullptr);
        QWidget* widget = control == "Form1"
                              ? &window_->form
                              : window_->control<QWidget>(control.toLatin1().constData());
        QVERIFY(widget != nullptr);
        QVERIFY(widget->rect().contains(point));
        const QString saveTo = window_->saveTo().text();

        const auto data = draggedFiles({"/pics/a.jpg", "/pics/b.jpg"});
        QCOMPARE(dropThroughWindow(window_->form, widget, point, *data), taken);

        QCOMPARE(pathTexts(), taken ? QStringList({"/kept/first.txt", "/pics/a.jpg", "/pics/b.jpg"})
                                    : QStringList({"/kept/first.txt"}));
        QCOMPARE(countTexts().size(), pathTexts().size());
        QCOMPARE(slide().pathEditor(1)->text(), QStringLiteral("/kept/first.txt"));
        QCOMPARE(slide().countEditor(1)->text(), QStringLiteral("1"));
        QCOMPARE(window_->saveTo().text(), saveTo);
        QVERIFY(window_->messageBox.shown.empty());
    }

    void noOtherWidgetAcceptsDrops() {
        QVERIFY(dropOnPicture1(*draggedFiles({"/pics/a.jpg", "/pics/b.jpg"})));
        QVERIFY(slide().pathEditor(2) != nullptr);
        QStringList accepting;
        QList<QWidget*> widgets = window_->form.findChildren<QWidget*>();
        widgets << &window_->form;
        for (const QWidget* widget : widgets) {
            if (widget->acceptDrops()) {
                accepting << (widget->objectName().isEmpty()
                                  ? QString::fromLatin1(widget->metaObject()->className())
                                  : widget->objectName());
            }
        }
        QCOMPARE(accepting.join(QStringLiteral(", ")), QStringLiteral("Picture1"));
    }
};

QTEST_MAIN(Picture1DropTest)
#include "picture1_drop_test.moc"
