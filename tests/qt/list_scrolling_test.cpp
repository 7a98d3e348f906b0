#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

#include "support/qt/file_list_test.h"

namespace expected = vantrel::expected;
using vantrel::test::draggedFiles;

class ListScrollingTest : public vantrel::test::FileListTest {
    Q_OBJECT

  private slots:
    void thumbDrag_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QList<int>>("inView");
        QTest::newRow("20 rows, thumb to the end") << 510 << rows(14, 20);
        QTest::newRow("20 rows, thumb to the top") << -30 << rows(1, 7);
    }

    // A dragged thumb moves the list only once released; the arrows and page areas are the
    // shared table's (form1_window_test.cpp).
    void thumbDrag() {
        QFETCH(int, value);
        QFETCH(QList<int>, inView);
        QVERIFY(dropOnPicture1(*draggedFiles(numberedFiles(20))));
        QScrollBar& bar = window_->vScrollFiles();
        QCOMPARE(bar.maximum(), 510);
        bar.setSliderDown(true);
        bar.setSliderPosition(value);
        QCOMPARE(slide().top(), expected::kFrameSlide.top);
        QCOMPARE(rowsInView(), rows(1, 6));
        bar.setSliderDown(false);

        QCOMPARE(bar.value(), value);
        QCOMPARE(slide().top(), -10.0 * value);
        QCOMPARE(slide().y(), vantrel::test::pixels(-10.0 * value));
        QCOMPARE(rowsInView(), inView);
        for (const int row : inView) {
            QCOMPARE(slide().pathEditor(row)->text(), QStringLiteral("/f/%1").arg(row));
        }
    }

  private:
    static QList<int> rows(int first, int last) {
        QList<int> list;
        for (int i = first; i <= last; ++i) {
            list << i;
        }
        return list;
    }

    // Rows whose path box has a widget: those the list shows in its viewport.
    QList<int> rowsInView() {
        QList<int> inView;
        for (int i = 1; i < paths().count(); ++i) {
            if (slide().pathEditor(i) != nullptr) {
                inView << i;
            }
        }
        return inView;
    }
};

QTEST_MAIN(ListScrollingTest)
#include "list_scrolling_test.moc"
