#include <QLineEdit>
#include <QtTest>

#include "support/qt/file_list_test.h"

namespace expected = vantrel::expected;
using vantrel::Buttons;
using vantrel::test::draggedFiles;

class CountKeysTest : public vantrel::test::FileListTest {
    Q_OBJECT

  private slots:
    void countKeys_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("messages");

        QTest::newRow("digits and a letter") << "12a0" << QList<int>() << "120" << 1;
        QTest::newRow("minus") << "-5" << QList<int>() << "5" << 1;
        QTest::newRow("period") << "2.5" << QList<int>() << "25" << 1;
        QTest::newRow("blank") << "1 2" << QList<int>() << "12" << 1;
        QTest::newRow("every refused key") << "x-. " << QList<int>() << "" << 4;
        QTest::newRow("return") << "7" << QList<int>{Qt::Key_Return} << "7" << 1;
        QTest::newRow("keypad enter") << "7" << QList<int>{Qt::Key_Enter} << "7" << 1;
        QTest::newRow("backspace") << "45" << QList<int>{Qt::Key_Backspace} << "4" << 0;
        QTest::newRow("backspace to empty")
            << "45" << QList<int>{Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace} << ""
            << 0;
        QTest::newRow("many digits") << "40000" << QList<int>() << "40000" << 0;
    }

    // Typed into a count box emptied with backspace, as the user does.
    void countKeys() {
        QFETCH(QString, typed);
        QFETCH(QList<int>, keys);
        QFETCH(QString, text);
        QFETCH(int, messages);
        QVERIFY(dropOnPicture1(*draggedFiles({"/f/1", "/f/2"})));
        QLineEdit* box = slide().countEditor(1);
        QVERIFY(box != nullptr);
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QString());

        QTest::keyClicks(box, typed);
        for (const int key : keys) {
            QTest::keyClick(box, static_cast<Qt::Key>(key));
        }

        QCOMPARE(box->text(), text);
        QCOMPARE(counts().item(1).text(), text.toStdString());
        QCOMPARE(counts().item(2).text(), std::string("1"));
        QCOMPARE(window_->messageBox.shown.size(), static_cast<std::size_t>(messages));
        for (const auto& shown : window_->messageBox.shown) {
            QCOMPARE(shown.text, expected::kNumberEntryOnly);
            QCOMPARE(shown.buttons, Buttons::Ok);
        }
    }
};

QTEST_MAIN(CountKeysTest)
#include "count_keys_test.moc"
