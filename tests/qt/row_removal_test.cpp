#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
#include <optional>

#include "support/qt/file_list_test.h"

namespace expected = vantrel::expected;
using vantrel::Buttons;
using vantrel::expected::kRowHeight;
using vantrel::test::draggedFiles;

namespace {

struct Press {
    int row;
    Qt::MouseButton button;
};
using Presses = QList<Press>;

}  // namespace

Q_DECLARE_METATYPE(Presses)

class RowRemovalTest : public vantrel::test::FileListTest {
    Q_OBJECT

  private slots:
    void pressesOnPathBoxes_data() {
        QTest::addColumn<Presses>("presses");
        QTest::addColumn<bool>("choose");
        QTest::addColumn<QStringList>("left");

        QTest::newRow("left on row 2, item chosen")
            << Presses{{2, Qt::LeftButton}} << true << QStringList{"/f/1", "/f/3", "/f/4"};
        QTest::newRow("left on the last row, item chosen")
            << Presses{{4, Qt::LeftButton}} << true << QStringList{"/f/1", "/f/2", "/f/3"};
        QTest::newRow("right on row 3, then left on row 1")
            << Presses{{3, Qt::RightButton}, {1, Qt::LeftButton}} << true
            << QStringList{"/f/2", "/f/3", "/f/4"};
        QTest::newRow("middle on row 4, then left on row 2")
            << Presses{{4, Qt::MiddleButton}, {2, Qt::LeftButton}} << true
            << QStringList{"/f/1", "/f/3", "/f/4"};
        QTest::newRow("right and middle only")
            << Presses{{1, Qt::RightButton}, {3, Qt::MiddleButton}} << true
            << QStringList{"/f/1", "/f/2", "/f/3", "/f/4"};
        QTest::newRow("left on row 2, menu closed")
            << Presses{{2, Qt::LeftButton}} << false << QStringList{"/f/1", "/f/2", "/f/3", "/f/4"};
    }

    // Only a left press opens the popup menu, at the pointer; its item deletes the row pressed
    // last, counts moving up with their paths.
    void pressesOnPathBoxes() {
        QFETCH(Presses, presses);
        QFETCH(bool, choose);
        QFETCH(QStringList, left);
        QVERIFY(dropOnPicture1(*draggedFiles({"/f/1", "/f/2", "/f/3", "/f/4"})));
        for (int i = 1; i <= 4; ++i) {
            counts().item(i).setText(std::to_string(10 * i));
        }

        for (const Press& press : presses) {
            QLineEdit* box = slide().pathEditor(press.row);
            QVERIFY(box != nullptr);
            const QPoint point(30 + press.row, 5);
            const QPoint pointer = box->mapToGlobal(point);
            const std::optional<Popup> popup = pressOn(box, press.button, point, choose);
            if (press.button != Qt::LeftButton) {
                QVERIFY2(!popup.has_value(), "a menu opened");
                continue;
            }
            QVERIFY2(popup.has_value(), "no menu opened");
            QCOMPARE(popup->name, QStringLiteral("PUMenu_Files"));
            QCOMPARE(popup->actions, QStringList{"Delete File input"});
            QCOMPARE(popup->pos, pointer);
        }

        QCOMPARE(pathTexts(), left);
        QStringList expectedCounts;
        for (const QString& path : left) {
            expectedCounts << QString::number(10 * path.back().digitValue());
        }
        QCOMPARE(countTexts(), expectedCounts);
        QCOMPARE(counts().count(), paths().count());
        for (int i = 1; i <= 4; ++i) {
            const bool kept = i <= left.size();
            QCOMPARE(slide().pathEditor(i) != nullptr, kept);
            if (kept) {
                QCOMPARE(slide().pathEditor(i)->text(), left[i - 1]);
                QCOMPARE(paths().item(i).top(), expected::rowTop(i));
            }
        }
        QCOMPARE(slide().height(), (left.size() + 1) * kRowHeight);
        QVERIFY(window_->messageBox.shown.empty());
        QVERIFY(QApplication::activePopupWidget() == nullptr);
    }

    void deletingTheOnlyEntryHidesTheBarAgain() {
        QVERIFY(dropOnPicture1(*draggedFiles({"/f/1"})));
        const std::optional<Popup> popup =
            pressOn(slide().pathEditor(1), Qt::LeftButton, QPoint(10, 5), true);
        QVERIFY(popup.has_value());
        QCOMPARE(paths().count(), 1);
        QCOMPARE(counts().count(), 1);
        QVERIFY(slide().pathEditor(1) == nullptr);
        QCOMPARE(slide().height(), kRowHeight);
        QVERIFY(window_->vScrollFiles().isHidden());
    }

    void clearOnAnEmptyListOnlyTellsSo() {
        QTest::mouseClick(&window_->button("ClearBtn"), Qt::LeftButton);
        QCOMPARE(window_->messageBox.shown.size(), std::size_t{1});
        QCOMPARE(window_->messageBox.shown[0].text, expected::kNoFilesToDelete);
        QCOMPARE(window_->messageBox.shown[0].buttons, Buttons::Ok);
        QCOMPARE(paths().count(), 1);
        QCOMPARE(slide().top(), expected::kFrameSlide.top);
        QCOMPARE(slide().height(), expected::kFrameSlide.height);
    }

    // A scrolled list, cleared, goes back to its start place with the bar's value.
    void clearEmptiesAScrolledListAndHidesTheBar() {
        QVERIFY(dropOnPicture1(*draggedFiles(numberedFiles(10))));
        QScrollBar& bar = window_->vScrollFiles();
        QVERIFY(bar.isVisible());
        // An arrow step takes ten rows straight to the end, Max 135.
        bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(slide().top(), -1350.0);

        QTest::mouseClick(&window_->button("ClearBtn"), Qt::LeftButton);

        QVERIFY(window_->messageBox.shown.empty());
        QCOMPARE(paths().count(), 1);
        QCOMPARE(counts().count(), 1);
        for (int i = 1; i <= 10; ++i) {
            QVERIFY(slide().pathEditor(i) == nullptr);
            QVERIFY(slide().countEditor(i) == nullptr);
        }
        QVERIFY(bar.isHidden());
        QCOMPARE(slide().height(), kRowHeight);
        QCOMPARE(slide().top(), expected::kFrameSlide.top);
        QCOMPARE(bar.value(), 0);

        QVERIFY(dropOnPicture1(*draggedFiles({"/again"})));
        QCOMPARE(paths().item(1).top(), expected::rowTop(1));
        QVERIFY(slide().pathEditor(1) != nullptr);
    }

  private:
    struct Popup {
        QString name;
        QStringList actions;
        QPoint pos;
    };

    // Presses `button` at `point` of `box` with the pointer there. A popup menu that opens is
    // recorded, then its first item is clicked (which takes the release) or it is left with
    // Escape; whatever popup is still up afterwards is closed, so a press can never leave the
    // test waiting on a menu.
    static std::optional<Popup> pressOn(QWidget* box, Qt::MouseButton button, QPoint point,
                                        bool choose) {
        std::optional<Popup> seen;
        QObject armed;
        QTimer::singleShot(0, &armed, [&seen, choose] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                QStringList actions;
                for (const QAction* action : menu->actions()) {
                    actions << action->text();
                }
                seen = Popup{menu->objectName(), actions, menu->pos()};
                if (choose && !menu->actions().isEmpty()) {
                    const QRect item = menu->actionGeometry(menu->actions().first());
                    QTest::mouseClick(menu, Qt::LeftButton, {}, item.center());
                } else {
                    QTest::keyClick(menu, Qt::Key_Escape);
                }
            }
            while (QWidget* popup = QApplication::activePopupWidget()) {
                popup->close();
            }
        });
        QCursor::setPos(box->mapToGlobal(point));
        const QPointer<QWidget> pressed(box);
        QTest::mousePress(box, button, {}, point);
        // Without a popup the timer has not run yet: let it find none.
        QCoreApplication::processEvents();
        if ((!seen || !choose) && pressed) {
            QTest::mouseRelease(box, button, {}, point);
        }
        return seen;
    }
};

QTEST_MAIN(RowRemovalTest)
#include "row_removal_test.moc"
