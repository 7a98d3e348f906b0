#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <QtTest>
#include <memory>
#include <optional>

#include "support/qt/window_fixture.h"

namespace expected = vantrel::expected;
using vantrel::Answer;
using vantrel::Buttons;
using vantrel::expected::kRowHeight;
using vantrel::test::Window;

namespace {

// What a file manager drags: the files as a URI list, and the same URIs as plain text for
// programs that take text only.
std::unique_ptr<QMimeData> draggedFiles(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    QStringList lines;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
        lines << urls.back().toString();
    }
    data->setUrls(urls);
    data->setText(lines.join(QLatin1Char('\n')));
    return data;
}

// One whole drag over `target` at `pos` in its coordinates: enter and move, then the drop if
// the target took the drag, else leave. Returns whether the drop was taken.
bool dragAndDrop(QObject* target, QPoint pos, const QMimeData& data) {
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(pos, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(pos, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    if (!enter.isAccepted() || !move.isAccepted()) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(target, &leave);
        return false;
    }
    QDropEvent drop(pos, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// A drag handed to the window at `point` of `widget`: the window gives it to the innermost
// widget there that takes drops, as it does with a drag from another program.
bool dropThroughWindow(QWidget& form, QWidget* widget, QPoint point, const QMimeData& data) {
    return dragAndDrop(form.windowHandle(), widget->mapTo(&form, point), data);
}

struct Press {
    int row;
    Qt::MouseButton button;
};
using Presses = QList<Press>;

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

}  // namespace

Q_DECLARE_METATYPE(Presses)

class FileListWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        window_ = std::make_unique<Window>(painter_);
        QVERIFY(window_->open());
    }

    void cleanup() {
        window_.reset();
        QVERIFY2(QApplication::topLevelWidgets().isEmpty(),
                 vantrel::test::leftoverWindows().constData());
    }

    void dropOnPicture1MakesRowsInOrder_data() {
        QTest::addColumn<bool>("throughWindow");
        QTest::newRow("sent to Picture1") << false;
        QTest::newRow("handed to the window") << true;
    }

    void dropOnPicture1MakesRowsInOrder() {
        QFETCH(bool, throughWindow);
        const QStringList files{"/pics/a.jpg", "/docs/b c.txt", "/pics/a.jpg"};
        const auto data = draggedFiles(files);
        QWidget* picture = &window_->picture1();
        const QPoint centre = picture->rect().center();
        QVERIFY(throughWindow ? dropThroughWindow(window_->form, picture, centre, *data)
                              : dragAndDrop(picture, centre, *data));

        QCOMPARE(pathTexts(), files);
        QCOMPARE(countTexts(), QStringList({"1", "1", "1"}));
        for (int i = 1; i <= 3; ++i) {
            const double top = expected::rowTop(i);
            for (vantrel::TextBoxArray* array : {&paths(), &counts()}) {
                QCOMPARE(array->item(i).top(), top);
                QVERIFY(array->item(i).visible());
            }
            QLineEdit* path = slide().pathEditor(i);
            QLineEdit* count = slide().countEditor(i);
            QVERIFY(path != nullptr && count != nullptr);
            QVERIFY(path->isVisible() && count->isVisible());
            QCOMPARE(path->text(), files[i - 1]);
            QCOMPARE(count->text(), QStringLiteral("1"));
            QCOMPARE(path->y(), vantrel::test::pixels(top));
            QCOMPARE(count->y(), path->y());
        }
        QCOMPARE(slide().height(), 4 * kRowHeight);
        QVERIFY(window_->vScrollFiles().isHidden());
        QVERIFY(window_->messageBox.shown.empty());
    }

    void dropData_data() {
        QTest::addColumn<bool>("uriList");
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<bool>("refused");

        QTest::newRow("files") << true
                               << QStringList{"file:///pics/a.jpg", "file:///docs/b%20c.txt"}
                               << QString() << QStringList{"/pics/a.jpg", "/docs/b c.txt"} << false;
        QTest::newRow("files and a web link")
            << true
            << QStringList{"file:///pics/a.jpg", "https://example.org/b.txt", "file:///c.txt"}
            << QString() << QStringList{"/pics/a.jpg", "/c.txt"} << false;
        QTest::newRow("empty file list")
            << true << QStringList() << QString() << QStringList() << false;
        QTest::newRow("plain text")
            << false << QStringList() << QStringLiteral("/pics/a.jpg") << QStringList() << true;
        QTest::newRow("only a web link")
            << true << QStringList{"https://example.org/a.jpg"}
            << QStringLiteral("https://example.org/a.jpg") << QStringList() << true;
        QTest::newRow("a path holding a NUL")
            << true << QStringList{"file:///home/u/secret.key%00/cat.jpg", "file:///pics/a.jpg"}
            << QString() << QStringList{"/pics/a.jpg"} << false;
        QTest::newRow("only a path holding a NUL")
            << true << QStringList{"file:///home/u/secret.key%00/cat.jpg"} << QString()
            << QStringList() << true;
    }

    // Onto a list that already has an entry: a refused drop leaves it as it was.
    void dropData() {
        QFETCH(bool, uriList);
        QFETCH(QStringList, urls);
        QFETCH(QString, text);
        QFETCH(QStringList, added);
        QFETCH(bool, refused);
        QVERIFY(dropOnPicture1(*draggedFiles({"/kept/first.txt"})));
        QMimeData data;
        if (uriList) {
            QList<QUrl> list;
            for (const QString& url : urls) {
                list << QUrl(url);
            }
            data.setUrls(list);
        }
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

    void picture1TakesNoDropsBeforeLoad() {
        Window fresh(painter_);
        fresh.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fresh.form));
        QWidget* picture = &fresh.picture1();
        QVERIFY(!picture->acceptDrops());
        const auto data = draggedFiles({"/pics/a.jpg"});
        QVERIFY(!dropThroughWindow(fresh.form, picture, picture->rect().center(), *data));
        QCOMPARE(fresh.controls().Text1.count(), 1);
        QVERIFY(fresh.messageBox.shown.empty());

        fresh.form.logic().Form_Load();
        QVERIFY(dropThroughWindow(fresh.form, picture, picture->rect().center(), *data));
        QCOMPARE(fresh.controls().Text1.count(), 2);
    }

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
    struct Popup {
        QString name;
        QStringList actions;
        QPoint pos;
    };

    vantrel::qt::SlidingFrame& slide() { return window_->frameSlide(); }
    vantrel::TextBoxArray& paths() { return slide().Text1(); }
    vantrel::TextBoxArray& counts() { return slide().CopyTimes(); }

    static QStringList textsOf(vantrel::TextBoxArray& array) {
        QStringList texts;
        for (int i = 1; i < array.count(); ++i) {
            texts << QString::fromStdString(array.item(i).text());
        }
        return texts;
    }
    QStringList pathTexts() { return textsOf(paths()); }
    QStringList countTexts() { return textsOf(counts()); }

    QString progressCaption() {
        return QString::fromStdString(window_->controls().LabelProgress.caption());
    }

    bool dropOnPicture1(const QMimeData& data) {
        QWidget* picture = &window_->picture1();
        return dragAndDrop(picture, picture->rect().center(), data);
    }

    static QStringList numberedFiles(int files) {
        QStringList names;
        for (int i = 1; i <= files; ++i) {
            names << QStringLiteral("/f/%1").arg(i);
        }
        return names;
    }

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

    vantrel::NoPainting painter_;
    std::unique_ptr<Window> window_;
};

QTEST_MAIN(FileListWindowTest)
#include "file_list_window_test.moc"
