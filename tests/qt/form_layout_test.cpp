#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "qt/picture_box.h"
#include "qt/twips.h"
#include "window_fixture.h"

using vantrel::test::Window;

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

QRect pixels(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

const QString kListHeader =
    QStringLiteral(" Filename") + QString(97, QLatin1Char(' ')) + QStringLiteral("No. of Copies");

}  // namespace

class FormLayoutTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { window_ = std::make_unique<Window>(painter_); }
    void cleanup() { window_.reset(); }

    void screenIs96Dpi() { QCOMPARE(vantrel::qt::twipsPerPixel(&window_->form), 15.0); }

    void controls_data() {
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("shown");

        const QString copies = QStringLiteral(
            "Copies and replicates multiple files of different file types to a certain "
            "folder/drive.");
        QTest::newRow("Frame1") << "Form1" << pixels(4680, 120, 3615, 975) << "Vantrel ver. 2"
                                << true << true;
        QTest::newRow("Label3") << "Frame1" << pixels(120, 360, 3375, 375) << copies << false
                                << true;
        QTest::newRow("VScrollFiles")
            << "Form1" << pixels(120, 3960, 255, 3135) << "" << false << false;
        QTest::newRow("LogBtn") << "Form1" << pixels(7200, 2880, 1095, 375) << "Log File" << false
                                << true;
        QTest::newRow("ClearBtn") << "Form1" << pixels(7200, 2400, 1095, 375) << "Clear List"
                                  << false << true;
        QTest::newRow("ReplicateBtn")
            << "Form1" << pixels(7200, 1920, 1095, 375) << "Replicate " << false << true;
        QTest::newRow("OpenWEBtn")
            << "Form1" << pixels(7200, 1440, 1095, 375) << "File Search" << false << true;
        QTest::newRow("DropArea") << "Form1" << pixels(4680, 1200, 2415, 2775)
                                  << "Drop files to copy here:" << true << true;
        QTest::newRow("Picture1") << "DropArea" << pixels(120, 360, 2175, 2295) << "" << false
                                  << true;
        QTest::newRow("FrameFix") << "Form1" << pixels(360, 4080, 8055, 2775) << kListHeader << true
                                  << true;
        QTest::newRow("FrameSlide")
            << "FrameFix" << pixels(120, 360, 7815, 1455) << "" << false << true;
        QTest::newRow("CopyDestFrame")
            << "Form1" << pixels(120, 120, 4455, 3855) << "Copy Destination " << true << true;
        QTest::newRow("SaveTo") << "CopyDestFrame" << pixels(120, 3360, 4215, 315) << "" << false
                                << true;
        QTest::newRow("Dir1") << "CopyDestFrame" << pixels(120, 720, 4215, 2340) << "" << false
                              << true;
        QTest::newRow("Drive1") << "CopyDestFrame" << pixels(120, 360, 4215, 315) << "" << false
                                << true;
        QTest::newRow("Label2") << "CopyDestFrame" << pixels(120, 3120, 855, 255)
                                << "Save To:" << true << true;
        QTest::newRow("ShapeProgress")
            << "Form1" << pixels(360, 6840, 675, 255) << "" << false << true;
        QTest::newRow("LabelProgress")
            << "Form1" << pixels(2280, 6840, 3735, 255) << "" << false << true;
        QTest::newRow("ShapeProgressBack")
            << "Form1" << pixels(360, 6840, 8055, 255) << "" << false << true;
    }

    // Geometry, caption and font as the window is built; visibility once it is loaded.
    void controls() {
        QFETCH(QString, container);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        QFETCH(bool, bold);
        QFETCH(bool, shown);

        const QWidget* control = window_->control<QWidget>(QTest::currentDataTag());
        QVERIFY(control != nullptr);
        QCOMPARE(control->parentWidget()->objectName(), container);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(captionOf(control), caption);
        QCOMPARE(control->font().bold(), bold);
        QCOMPARE(control->font().pointSizeF(), 8.25);
        window_->form.Form_Load();
        QCOMPARE(!control->isHidden(), shown);
    }

    void windowItself() {
        vantrel::Form1& form = window_->form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Vantrel ver. 2"));
        QCOMPARE(form.size(), QSize(566, 484));
        QCOMPARE(form.font().pointSizeF(), 8.25);
        QVERIFY(!form.font().bold());
        if (QFile::exists("/usr/share/wine/fonts/ms_sans_serif.ttf")) {
            QCOMPARE(QFontInfo(form.font()).family(), QStringLiteral("MS Sans Serif"));
        }
        const QList<QSize> iconSizes = form.windowIcon().availableSizes();
        QVERIFY(iconSizes.contains(QSize(32, 32)));
        QVERIFY(iconSizes.contains(QSize(16, 16)));
        QCOMPARE(kListHeader.size(), 119);
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
        QTest::newRow("Form1") << QStringList{
            "Frame1",        "VScrollFiles",  "LogBtn",        "ClearBtn",
            "ReplicateBtn",  "OpenWEBtn",     "DropArea",      "FrameFix",
            "CopyDestFrame", "ShapeProgress", "LabelProgress", "ShapeProgressBack"};
        QTest::newRow("CopyDestFrame") << QStringList{"SaveTo", "Dir1", "Drive1", "Label2"};
    }

    void stackingFrontToBack() {
        QFETCH(QStringList, frontToBack);
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

    void focusStartsOnDrive1AndTabFollowsTheOrder() {
        vantrel::Form1& form = window_->form;
        form.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, (QStringList{"Drive1", "Dir1", "SaveTo", "Picture1", "OpenWEBtn",
                                       "ReplicateBtn", "ClearBtn", "LogBtn", "Drive1"}));
    }

    void resizingMovesNothing() {
        vantrel::Form1& form = window_->form;
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
        vantrel::Form1& form = window_->form;
        auto* picture = window_->control<vantrel::qt::PictureBox>("Picture1");
        QVERIFY(!picture->acceptDrops());
        form.Form_Load();

        QVERIFY(picture->acceptDrops());
        for (vantrel::TextBoxArray* array :
             {&form.FrameSlide().Text1(), &form.FrameSlide().CopyTimes()}) {
            QCOMPARE(array->count(), 1);
            QCOMPARE(array->item(0).top(), -195.0);
            QVERIFY(!array->item(0).visible());
            QCOMPARE(array->item(0).text(), std::string());
        }
        const QScrollBar& bar = form.VScrollFiles();
        QVERIFY(bar.isHidden());
        QCOMPARE(bar.minimum(), -30);
        QCOMPARE(bar.maximum(), 32767);
        QCOMPARE(bar.value(), 0);
        QCOMPARE(bar.singleStep(), 1);
        QCOMPARE(bar.pageStep(), 1);
        QCOMPARE(form.FrameSlide().top(), 360.0);
        const vantrel::ReplicationControls controls = form.replicationControls();
        QCOMPARE(controls.ShapeProgress.width(), 0.0);
        QCOMPARE(window_->control<QWidget>("ShapeProgress")->width(), 0);
        QCOMPARE(controls.ShapeProgressBack.width(), 8055.0);
        QCOMPARE(controls.LabelProgress.caption(), std::string());
        QCOMPARE(controls.SaveTo.text(), std::string());
    }

  private:
    vantrel::NoPainting painter_;
    std::unique_ptr<Window> window_;
};

QTEST_MAIN(FormLayoutTest)
#include "form_layout_test.moc"
