#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "filelist/file_list.h"
#include "qt/sliding_frame.h"
#include "qt/twips.h"
#include "support/qt/window_fixture.h"

namespace expected = vantrel::expected;
using vantrel::expected::kRowHeight;
using vantrel::qt::SlidingFrame;
using vantrel::test::pixels;

namespace {

vantrel::TwipsRect twips(const expected::Rect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

// The file list's frames as the window lays them out, with the keyboard focus outside the list
// as on the real window.
struct ListFrames {
    QGroupBox frameFix;
    SlidingFrame* slide;
    QLineEdit* focusAtStart;

    ListFrames() {
        frameFix.resize(pixels(expected::kFrameFix.width), pixels(expected::kFrameFix.height));
        slide = new SlidingFrame(&frameFix, twips(expected::kFrameSlide),
                                 twips(expected::kPathTemplate), twips(expected::kCountTemplate));
        slide->Text1().item(0).setTop(expected::kFirstRowTop - kRowHeight);
        slide->CopyTimes().item(0).setTop(expected::kFirstRowTop - kRowHeight);
        focusAtStart = new QLineEdit(&frameFix);
        focusAtStart->setGeometry(0, 0, 5, 5);
        focusAtStart->setFocus();
        frameFix.show();
    }

    // Appends entries the way a drop does, entry i with "path i" and count i.
    void append(int rows) {
        vantrel::FileList list(slide->Text1(), slide->CopyTimes());
        for (int k = 0; k < rows; ++k) {
            const int i = list.entries() + 1;
            list.append("path " + std::to_string(i), std::to_string(i));
        }
        slide->setHeight(slide->Text1().count() * kRowHeight);
    }

    // Indices of the rows whose path box has an editor.
    std::vector<int> rowsWithEditors() {
        std::vector<int> rows;
        for (int i = 0; i <= slide->Text1().ubound(); ++i) {
            if (slide->pathEditor(i) != nullptr) {
                rows.push_back(i);
            }
        }
        return rows;
    }

    int shownEditors() const {
        int shown = 0;
        for (const QLineEdit* editor : slide->findChildren<QLineEdit*>()) {
            shown += editor->isVisible() ? 1 : 0;
        }
        return shown;
    }
};

std::vector<int> range(int first, int last) {
    std::vector<int> rows;
    for (int i = first; i <= last; ++i) {
        rows.push_back(i);
    }
    return rows;
}

}  // namespace

class SlidingFrameTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QCOMPARE(vantrel::qt::logicalDpi(), 96.0); }

    void cleanup() {
        QVERIFY2(QApplication::topLevelWidgets().isEmpty(),
                 vantrel::test::leftoverWindows().constData());
    }

    void editorsAreBoundOnTheNextTurn() {
        ListFrames list;
        list.append(200);
        QVERIFY(list.slide->findChildren<QLineEdit*>().isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(list.shownEditors(), 12);
        list.slide->setTop(-(201 * kRowHeight - expected::kFrameFix.height));
        QCoreApplication::processEvents();
        QCOMPARE(list.rowsWithEditors(), range(194, 200));
        QCOMPARE(list.slide->pathEditor(194)->geometry(),
                 pixels({expected::kPathTemplate.left, expected::rowTop(194),
                         expected::kPathTemplate.width, kRowHeight}));
    }

    void textsPassBothWays() {
        ListFrames list;
        list.append(3);
        QLineEdit* path = list.slide->pathEditor(2);
        list.slide->Text1().item(2).setText("/photos/a very long name of a holiday picture.jpg");
        QCOMPARE(path->text(), QStringLiteral("/photos/a very long name of a holiday picture.jpg"));
        QCOMPARE(path->cursorPosition(), 0);
        QVERIFY(!path->acceptDrops());

        QLineEdit* count = list.slide->countEditor(3);
        count->end(false);
        QTest::keyClicks(count, "07");
        QCOMPARE(list.slide->CopyTimes().item(3).text(), std::string("307"));
        count->selectAll();
        count->del();
        QCOMPARE(list.slide->CopyTimes().item(3).text(), std::string());
    }

    void bytesThatAreNotUtf8SurviveBeingShown() {
        ListFrames list;
        list.append(1);
        list.slide->Text1().item(1).setText("/data/caf\xe9.txt");
        QVERIFY(list.slide->pathEditor(1) != nullptr);
        list.slide->setTop(0);
        QCoreApplication::processEvents();
        QCOMPARE(list.slide->Text1().item(1).text(), std::string("/data/caf\xe9.txt"));
    }

    void countKeysPassTheFilterFirst_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::vector<int>>("codes");
        QTest::addColumn<QString>("after");
        const QString none;
        QTest::newRow("digit") << int(Qt::Key_7) << 0 << "7" << std::vector<int>{55} << "127";
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << "a" << std::vector<int>{97} << "12";
        QTest::newRow("enter") << int(Qt::Key_Return) << 0 << "\r" << std::vector<int>{13} << "12";
        QTest::newRow("backspace")
            << int(Qt::Key_Backspace) << 0 << "\b" << std::vector<int>{8} << "1";
        QTest::newRow("ctrl+v") << int(Qt::Key_V) << int(Qt::ControlModifier) << "\x16"
                                << std::vector<int>{22} << "12";
        QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << "\x7f" << std::vector<int>{} << "1";
        QTest::newRow("arrow") << int(Qt::Key_Left) << 0 << none << std::vector<int>{} << "12";
    }

    void countKeysPassTheFilterFirst() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(std::vector<int>, codes);
        QFETCH(QString, after);
        ListFrames list;
        list.append(2);
        QApplication::clipboard()->setText("99");
        std::vector<int> seen;
        list.slide->onCountKeyPress = [&seen](int index, std::int16_t& code) {
            QCOMPARE(index, 2);
            seen.push_back(code);
            if (code != 8 && (code < '0' || code > '9')) {
                code = 0;
            }
        };
        QLineEdit* count = list.slide->countEditor(2);
        list.slide->CopyTimes().item(2).setText("12");
        count->setCursorPosition(key == Qt::Key_Delete ? 1 : 2);
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        QApplication::sendEvent(count, &press);
        QCOMPARE(seen, codes);
        QCOMPARE(count->text(), after);
        QCOMPARE(list.slide->CopyTimes().item(2).text(), after.toStdString());
    }

    void aChangedCodeIsTypedAsTheNewCharacter() {
        ListFrames list;
        list.append(1);
        list.slide->onCountKeyPress = [](int, std::int16_t& code) { code = '0'; };
        QLineEdit* count = list.slide->countEditor(1);
        count->end(false);
        QTest::keyClick(count, Qt::Key_X);
        QCOMPARE(list.slide->CopyTimes().item(1).text(), std::string("10"));
    }

    void pathPressReportsIndexAndButton_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("code");
        QTest::newRow("left") << Qt::LeftButton << 1;
        QTest::newRow("right") << Qt::RightButton << 2;
        QTest::newRow("middle") << Qt::MiddleButton << 4;
    }

    void pathPressReportsIndexAndButton() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, code);
        ListFrames list;
        list.append(4);
        std::vector<std::pair<int, int>> presses;
        list.slide->onPathMouseDown = [&presses](int index, int pressed) {
            presses.emplace_back(index, pressed);
        };
        QLineEdit* path = list.slide->pathEditor(3);
        path->end(false);
        QTest::mousePress(path, button, Qt::NoModifier, QPoint(2, path->height() / 2));
        QTest::mouseRelease(path, button, Qt::NoModifier, QPoint(2, path->height() / 2));
        QCOMPARE(presses, (std::vector<std::pair<int, int>>{{3, code}}));
        if (button == Qt::LeftButton) {
            QCOMPARE(path->cursorPosition(), 0);
        }
    }

    // The popup menu and the message box run inside the handlers; what they remove must not
    // receive the rest of the event.
    void theListMayChangeInsideAHandler() {
        ListFrames list;
        list.append(3);
        const auto removeLast = [&list] {
            list.slide->Text1().unload(3);
            list.slide->CopyTimes().unload(3);
        };
        list.slide->onPathMouseDown = [&](int, int) { removeLast(); };
        list.slide->onCountKeyPress = [&](int, std::int16_t&) { removeLast(); };

        QLineEdit* path = list.slide->pathEditor(3);
        QTest::mouseClick(path, Qt::LeftButton);
        QVERIFY(!path->isVisible());
        QCOMPARE(list.slide->pathEditor(3), nullptr);

        list.append(1);
        QLineEdit* count = list.slide->countEditor(3);
        QTest::keyClick(count, Qt::Key_5);
        QCOMPARE(list.slide->countEditor(3), nullptr);
        QVERIFY(!count->isVisible());
        QCOMPARE(count->text(), QStringLiteral("3"));
    }

    void theFocusedEditorStaysWithItsRow() {
        ListFrames list;
        list.append(30);
        list.frameFix.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&list.frameFix));
        QLineEdit* count = list.slide->countEditor(2);
        count->setFocus();
        list.slide->setTop(-6000);
        QCOMPARE(list.slide->countEditor(2), count);
        QCOMPARE(list.slide->pathEditor(2), nullptr);
        QTest::keyClicks(count, "5");
        QCOMPARE(list.slide->CopyTimes().item(2).text(), std::string("52"));
    }

    void aFrameAsTallAsTheLongestList() {
        ListFrames list;
        list.append(32767);
        QCOMPARE(list.slide->height(), 12288000.0);
        QCOMPARE(list.slide->QWidget::height(), 819200);
        list.slide->setTop(-(12288000.0 - expected::kFrameFix.height));
        QCOMPARE(list.slide->y(), -(819200 - 185));
        QCOMPARE(list.slide->top(), -(12288000.0 - expected::kFrameFix.height));
        QCOMPARE(list.rowsWithEditors(), range(32761, 32767));
        QCOMPARE(list.slide->pathEditor(32767)->text(), QStringLiteral("path 32767"));
        QVERIFY(!list.frameFix.grab().isNull());
    }
};

QTEST_MAIN(SlidingFrameTest)
#include "sliding_frame_test.moc"
