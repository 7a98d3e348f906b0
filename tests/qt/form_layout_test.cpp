#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "qt/twips.h"
#include "support/qt/window_test.h"

namespace expected = vantrel::expected;
using vantrel::test::pixels;
using vantrel::test::qtext;

namespace {

QString captionOf(const QWidget* widget) {
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) {
        return frame->title();
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        return button->text();
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(widget)) {
        return box->text();
    }
    return {};
}

// The template boxes of the two arrays are rows of the sliding frame, not widgets.
bool isWidget(const expected::Control& control) {
    return control.name != "Text1" && control.name != "CopyTimes";
}

QStringList names(const std::vector<std::string>& list) {
    QStringList result;
    for (const std::string& name : list) {
        result << qtext(name);
    }
    return result;
}

}  // namespace

class FormLayoutTest : public vantrel::test::WindowTest {
    Q_OBJECT

  public:
    FormLayoutTest() : WindowTest(Start::Unopened) {}

  private slots:
    void screenIs96Dpi() { QCOMPARE(vantrel::qt::logicalDpi(&window_->form), 96.0); }

    void controls_data() {
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("shownOnceLoaded");

        for (const expected::Control& control : expected::controls()) {
            if (!isWidget(control)) {
                continue;
            }
            // Form_Load hides the bar until the list outgrows its view.
            const bool shownOnceLoaded = control.shown && control.name != "VScrollFiles";
            QTest::newRow(control.name.c_str())
                << qtext(control.container) << pixels(control.rect) << qtext(control.caption)
                << control.bold << control.shown << shownOnceLoaded;
        }
    }

    // Geometry, caption, font and visibility as the window is built; visibility once loaded.
    void controls() {
        QFETCH(QString, container);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        QFETCH(bool, bold);
        QFETCH(bool, shown);
        QFETCH(bool, shownOnceLoaded);

        const QWidget* control = window_->control<QWidget>(QTest::currentDataTag());
        QVERIFY(control != nullptr);
        QCOMPARE(control->parentWidget()->objectName(), container);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(captionOf(control), caption);
        QCOMPARE(control->font().bold(), bold);
        QCOMPARE(control->font().pointSizeF(), 8.25);
        QCOMPARE(!control->isHidden(), shown);
        window_->form.logic().Form_Load();
        QCOMPARE(!control->isHidden(), shownOnceLoaded);
    }

    void windowItself() {
        vantrel::qt::Form1Window& form = window_->form;
        QCOMPARE(form.objectName(), QStringLiteral("Form1"));
        QCOMPARE(form.windowTitle(), qtext(expected::kTitle));
        QCOMPARE(form.size(), QSize(pixels(expected::kFormWidth), pixels(expected::kFormHeight)));
        QCOMPARE(form.size(), QSize(566, 484));
        QCOMPARE(form.font().pointSizeF(), 8.25);
        QVERIFY(!form.font().bold());
        if (QFile::exists("/usr/share/wine/fonts/ms_sans_serif.ttf")) {
            QCOMPARE(QFontInfo(form.font()).family(), QStringLiteral("MS Sans Serif"));
        }
        const QList<QSize> iconSizes = form.windowIcon().availableSizes();
        QVERIFY(iconSizes.contains(QSize(32, 32)));
        QVERIFY(iconSizes.contains(QSize(16, 16)));
        QCOMPARE(expected::kListHeader.size(), std::size_t{119});
    }

    void popupMenuOnly() {
        QVERIFY(window_->form.findChildren<QMenuBar*>().isEmpty());
        const auto* menu = window_->control<QMenu>("PUMenu_Files");
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->title(), QStringLiteral("Menu_Files"));
        QVERIFY(menu->isHidden());
        QCOMPARE(menu->actions().size(), 1);
        const QAction* item = menu->actions().first();
        QCOMPARE(item->objectName(), QStringLiteral("PUMenu_DeleteFile"));
        QCOMPARE(item->text(), QStringLiteral("Delete File input"));
        QVERIFY(item->isEnabled());
        QVERIFY(!item->isCheckable());
    }

    // Siblings are painted in the order of their parent's children: the last is in front.
    void stackingFrontToBack_data() {
        QTest::addColumn<QStringList>("frontToBack");
        for (const char* container : {"Form1", "CopyDestFrame"}) {
            QStringList frontToBack;
            for (const expected::Control& control : expected::controls()) {
                if (control.container == container) {
                    frontToBack << qtext(control.name);
                }
            }
            QTest::newRow(container) << frontToBack;
        }
    }

    void stackingFrontToBack() {
        QFETCH(QStringList, frontToBack);
        QVERIFY(frontToBack.size() > 2);
        const QWidget* parent =
            window_->control<QWidget>(frontToBack.first().toLatin1())->parentWidget();
        QStringList backToFront;
        for (const QObject* child : parent->children()) {
            if (frontToBack.contains(child->objectName())) {
                backToFront.prepend(child->objectName());
            }
        }
        QCOMPARE(backToFront, frontToBack);
    }

    void focusStartsOnDrive1AndTabFollowsTheOrder_data() {
        QTest::addColumn<bool>("barShown");
        QTest::newRow("bar hidden") << false;
        QTest::newRow("bar shown") << true;
    }

    // Tab passes the hidden bar by; once a long list shows it, the bar has its turn.
    void focusStartsOnDrive1AndTabFollowsTheOrder() {
        QFETCH(bool, barShown);
        vantrel::qt::Form1Window& form = window_->form;
        form.open();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget()->objectName(), qtext(expected::kTabOrder.front()));
        if (barShown) {
            window_->controls().VScrollFiles.setVisible(true);
        }
        QStringList order = names(expected::kTabOrder);
        if (!barShown) {
            order.removeAll(QStringLiteral("VScrollFiles"));
        }
        order << order.first();

        QStringList visited{QApplication::focusWidget()->objectName()};
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, order);
    }

    void resizingMovesNothing() {
        vantrel::qt::Form1Window& form = window_->form;
        QMap<const QWidget*, QRect> before;
        for (const QWidget* widget : form.findChildren<QWidget*>()) {
            if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_")) {
                before[widget] = widget->geometry();
            }
        }
        QCOMPARE(before.size(), 20);
        form.resize(1000, 900);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            QCOMPARE(it.key()->geometry(), it.value());
        }
    }

    void startUpState() {
        vantrel::qt::Form1Window& form = window_->form;
        const vantrel::qt::PictureBox& picture = window_->picture1();
        QVERIFY(!picture.acceptDrops());
        form.logic().Form_Load();

        QVERIFY(picture.acceptDrops());
        const vantrel::Form1Controls& controls = window_->controls();
        for (vantrel::TextBoxArray* array : {&controls.Text1, &controls.CopyTimes}) {
            QCOMPARE(array->count(), 1);
            QCOMPARE(array->item(0).top(), expected::kFirstRowTop - expected::kRowHeight);
            QCOMPARE(array->item(0).top(), -195.0);
            QVERIFY(!array->item(0).visible());
            QCOMPARE(array->item(0).text(), std::string());
        }
        const QScrollBar& bar = window_->vScrollFiles();
        QVERIFY(bar.isHidden());
        QCOMPARE(bar.minimum(), -30);
        QCOMPARE(bar.maximum(), 32767);
        QCOMPARE(bar.value(), 0);
        QCOMPARE(bar.singleStep(), 1);
        QCOMPARE(bar.pageStep(), 1);
        QCOMPARE(controls.FrameSlide.top(), expected::kFrameSlide.top);
        QCOMPARE(controls.ShapeProgress.width(), 0.0);
        QCOMPARE(window_->control<QWidget>("ShapeProgress")->width(), 0);
        QCOMPARE(controls.ShapeProgressBack.width(), expected::kFullBar);
        QCOMPARE(controls.LabelProgress.caption(), std::string());
        QCOMPARE(controls.SaveTo.text(), std::string());
    }
};

QTEST_MAIN(FormLayoutTest)
#include "form_layout_test.moc"
