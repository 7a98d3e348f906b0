// What a screen reader reads: the names of the window's controls, walked through Qt's
// accessibility tree, as the visible captions stay as they are.

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "filelist/file_list.h"
#include "qt/form1_window.h"
#include "qt/progress_accessible.h"
#include "support/expected.h"
#include "support/qt/window_test.h"

namespace {

using namespace vantrel;

// Every named widget under the interface, by object name, with the name it is read as. Qt
// reads a drop-down list on Linux by its value, the chosen drive, and gives its own name
// through the widget.
void collect(QAccessibleInterface* node, QMap<QString, QString>& names, int depth = 0) {
    if (node == nullptr || depth > 12) {
        return;
    }
    if (QObject* object = node->object(); object != nullptr && !object->objectName().isEmpty()) {
        names.insert(object->objectName(),
                     node->role() == QAccessible::ComboBox
                         ? node->object()->property("accessibleName").toString()
                         : node->text(QAccessible::Name));
    }
    for (int i = 0; i < node->childCount(); ++i) {
        collect(node->child(i), names, depth + 1);
    }
}

class AccessibilityTest : public test::WindowTest {
    Q_OBJECT

  private slots:
    void init() {
        WindowTest::init();
        form_ = &window_->form;
    }

    void controlsAreReadByWhatTheyAre_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QList<QPair<QString, QString>> table{
            {"Text1(3)", "File 3"},
            {"CopyTimes(3)", "Copies of file 3"},
        };
        for (const expected::AccessibleName& named : expected::accessibleNames()) {
            table.append(
                {QString::fromStdString(named.control), QString::fromStdString(named.name)});
        }
        for (const auto& [control, name] : table) {
            QTest::newRow(qPrintable(control)) << control << name;
        }
    }

    void controlsAreReadByWhatTheyAre() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        FileList list(form_->controls().Text1, form_->controls().CopyTimes);
        for (const char* path : {"/a", "/b", "/c"}) {
            list.append(path);
        }
        QCoreApplication::processEvents();

        QMap<QString, QString> names;
        collect(QAccessible::queryAccessibleInterface(form_), names);
        QVERIFY2(names.contains(control), qPrintable(control + " is not in the tree"));
        QCOMPARE(names.value(control), name);
    }

    void theDropAreaSaysHowToAddFilesWithoutADrag() {
        QAccessibleInterface* picture =
            QAccessible::queryAccessibleInterface(form_->findChild<QWidget*>("Picture1"));
        QVERIFY(picture != nullptr);
        QCOMPARE(picture->text(QAccessible::Description),
                 QString::fromStdString(expected::kDropAreaDescription));
        QVERIFY(picture->state().focusable);
    }

    void visibleCaptionsStayAsTheyAre() {
        QCOMPARE(form_->findChild<QPushButton*>("ReplicateBtn")->text(),
                 QStringLiteral("Replicate "));
    }

    // The caption is static text and the bar a progress bar with its share done.
    void theProgressIsReadWithItsValue() {
        auto* caption = form_->findChild<QWidget*>("LabelProgress");
        auto* back = form_->findChild<QWidget*>("ShapeProgressBack");
        const qt::ProgressAccessible progress(caption, form_->findChild<QWidget*>("ShapeProgress"),
                                              back);
        form_->controls().LabelProgress.setCaption("Progress : 1/4");
        form_->controls().ShapeProgress.setWidth(form_->controls().ShapeProgressBack.width() / 4);

        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(back);
        QCOMPARE(bar->role(), QAccessible::ProgressBar);
        QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Progress bar"));
        QVERIFY(bar->valueInterface() != nullptr);
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 25);
        QCOMPARE(bar->valueInterface()->maximumValue().toInt(), 100);
        QAccessibleInterface* text = QAccessible::queryAccessibleInterface(caption);
        QCOMPARE(text->role(), QAccessible::StaticText);
        QCOMPARE(text->text(QAccessible::Value), QStringLiteral("Progress : 1/4"));
    }

    // Their changes are told at most four times a second, but always at a row's end.
    void theProgressIsToldAsItChanges() {
        QAccessible::setActive(true);
        if (!QAccessible::isActive()) {
            QSKIP(
                "Qt tells accessibility events only while a screen reader listens, and none "
                "can be attached here");
        }
        auto* caption = form_->findChild<QWidget*>("LabelProgress");
        auto* back = form_->findChild<QWidget*>("ShapeProgressBack");
        qt::ProgressAccessible progress(caption, form_->findChild<QWidget*>("ShapeProgress"), back);
        static QList<QPair<QObject*, QVariant>> told;
        told.clear();
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            if (event->type() == QAccessible::ValueChanged) {
                told.append(
                    {event->object(), static_cast<QAccessibleValueChangeEvent*>(event)->value()});
            }
        });
        const auto step = [&](const char* text, double share, bool always) {
            form_->controls().LabelProgress.setCaption(text);
            form_->controls().ShapeProgress.setWidth(share *
                                                     form_->controls().ShapeProgressBack.width());
            progress.update(always);
        };
        step("Progress : 1/4", 0.25, true);
        step("Progress : 2/4", 0.5, false);
        step("Files successfully replicated.", 0, true);
        QAccessible::installUpdateHandler(nullptr);
        const QList<QPair<QObject*, QVariant>> expected{
            {caption, QStringLiteral("Progress : 1/4")},
            {back, 25},
            {caption, QStringLiteral("Files successfully replicated.")},
            {back, 0}};
        QCOMPARE(told, expected);
    }

  private:
    qt::Form1Window* form_ = nullptr;
};

}  // namespace

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
