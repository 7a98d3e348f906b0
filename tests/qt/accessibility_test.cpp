// What a screen reader reads: the names of the window's controls, walked through Qt's
// accessibility tree, as the visible captions stay as they are.

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "qt/form1_window.h"
#include "replication/file_list.h"
#include "support/expected.h"
#include "support/qt/window_fixture.h"

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

class AccessibilityTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        window_ = std::make_unique<test::Window>(painter_);
        QVERIFY(window_->open());
        form_ = &window_->form;
    }

    void cleanup() {
        window_.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
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

  private:
    test::NoPainting painter_;
    std::unique_ptr<test::Window> window_;
    qt::Form1Window* form_ = nullptr;
};

}  // namespace

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
