// What a screen reader is told of the progress, through the Qt window's accessible interfaces.

#include <QAccessible>
#include <QTest>
#include <memory>

#include "qt/form1_window.h"
#include "qt/progress_accessible.h"
#include "support/qt/window_test.h"

namespace {

using namespace vantrel;

class AccessibilityTest : public test::WindowTest {
    Q_OBJECT

  private slots:
    void init() {
        WindowTest::init();
        form_ = &window_->form;
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
