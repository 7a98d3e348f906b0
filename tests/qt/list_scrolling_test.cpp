#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

#include "support/qt/file_list_test.h"

namespace expected = vantrel::expected;
using vantrel::expected::kRowHeight;
using vantrel::test::draggedFiles;

class ListScrollingTest : public vantrel::test::FileListTest {
    Q_OBJECT

  private slots:
    void scrolling_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("value");
        QTest::addColumn<QList<int>>("inView");

        const int drag = -1;
        QTest::newRow("7 rows, arrow down")
            << 7 << 22 << int{QAbstractSlider::SliderSingleStepAdd} << 22 << rows(1, 7);
        QTest::newRow("7 rows, arrow up")
            << 7 << 22 << int{QAbstractSlider::SliderSingleStepSub} << -30 << rows(1, 7);
        QTest::newRow("20 rows, page down")
            << 20 << 510 << int{QAbstractSlider::SliderPageStepAdd} << 278 << rows(7, 15);
        QTest::newRow("20 rows, thumb to the end") << 20 << 510 << drag << 510 << rows(14, 20);
        QTest::newRow("20 rows, thumb to the top") << 20 << 510 << drag << -30 << rows(1, 7);
    }

    // The bar's value v puts the sliding frame at Top -10 v; a dragged thumb moves it only once
    // released.
    void scrolling() {
        QFETCH(int, files);
        QFETCH(int, max);
        QFETCH(int, action);
        QFETCH(int, value);
        QFETCH(QList<int>, inView);
        QVERIFY(dropOnPicture1(*draggedFiles(numberedFiles(files))));
        QScrollBar& bar = window_->vScrollFiles();
        QVERIFY(bar.isVisible());
        QCOMPARE(bar.minimum(), -30);
        QCOMPARE(bar.maximum(), max);
        QCOMPARE(bar.singleStep(), 200);
        QCOMPARE(bar.pageStep(), 278);
        QCOMPARE(bar.value(), 0);
        QCOMPARE(slide().top(), expected::kFrameSlide.top);
        QCOMPARE(rowsInView(), rows(1, 6));

        if (action >= 0) {
            bar.triggerAction(static_cast<QAbstractSlider::SliderAction>(action));
        } else {
            bar.setSliderDown(true);
            bar.setSliderPosition(value);
            QCOMPARE(slide().top(), expected::kFrameSlide.top);
            QCOMPARE(rowsInView(), rows(1, 6));
            bar.setSliderDown(false);
        }

        QCOMPARE(bar.value(), value);
        QCOMPARE(slide().top(), -10.0 * value);
        QCOMPARE(slide().y(), vantrel::test::pixels(-10.0 * value));
        QCOMPARE(rowsInView(), inView);
        for (const int row : inView) {
            QCOMPARE(slide().pathEditor(row)->text(), QStringLiteral("/f/%1").arg(row));
            QVERIFY(slide().countEditor(row) != nullptr);
        }
        QVERIFY(window_->messageBox.shown.empty());
    }

    void sixRowsFitAndSevenNeedTheBar() {
        QVERIFY(dropOnPicture1(*draggedFiles(numberedFiles(6))));
        QScrollBar& bar = window_->vScrollFiles();
        QVERIFY(bar.isHidden());
        QCOMPARE(slide().height(), 7 * kRowHeight);
        QVERIFY(dropOnPicture1(*draggedFiles({"/f/7"})));
        QVERIFY(bar.isVisible());
        QCOMPARE(bar.maximum(), 22);
        QCOMPARE(slide().height(), 8 * kRowHeight);
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
