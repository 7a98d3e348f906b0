// The Qt window against the table both windows pass (support/window_conformance.h), and what
// only the Qt window has.

#include <gtest/gtest.h>
#include <QAccessible>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>

#include <map>
#include <stdexcept>

#include "qt/twips.h"
#include "support/qt/file_list_test.h"
#include "support/window_conformance.h"

namespace vantrel::test {
namespace {

using conformance::Box;

QString qname(const std::string& name) {
    return QString::fromStdString(name);
}

// Every widget in the accessibility tree by object name, with the name it is read as. Qt reads
// a drop-down list by its value, the chosen drive, and gives its own name through the widget.
void collect(QAccessibleInterface* node, std::map<std::string, std::string>& names, int depth = 0) {
    if (node == nullptr || depth > 12) {
        return;
    }
    if (QObject* object = node->object(); object != nullptr && !object->objectName().isEmpty()) {
        names[object->objectName().toStdString()] =
            (node->role() == QAccessible::ComboBox ? object->property("accessibleName").toString()
                                                   : node->text(QAccessible::Name))
                .toStdString();
    }
    for (int i = 0; i < node->childCount(); ++i) {
        collect(node->child(i), names, depth + 1);
    }
}

class QtWindowProbe final : public conformance::WindowProbe {
  public:
    static bool usable() { return true; }

    void open() override {
        EXPECT_TRUE(window_.open());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window_.form));
    }
    Form1& logic() override { return window_.form.logic(); }
    const Form1Controls& controls() override { return window_.controls(); }
    FakeMessageBox& messageBox() override { return window_.messageBox; }
    FakeLauncher& launcher() override { return window_.launcher; }
    std::string logPath() override { return window_.conventions.logPath; }
    std::string logOpener() override { return "xdg-open"; }
    int dpi() override { return static_cast<int>(qt::logicalDpi(&window_.form)); }

    bool has(const std::string& name) override { return widget(name) != nullptr; }
    std::string container(const std::string& name) override {
        return at(name).parentWidget()->objectName().toStdString();
    }
    Box place(const std::string& name) override {
        const QRect rect = at(name).geometry();
        return {rect.x(), rect.y(), rect.width(), rect.height()};
    }
    bool shown(const std::string& name) override { return !at(name).isHidden(); }
    std::optional<std::string> caption(const std::string& name) override {
        const QWidget& widget = at(name);
        if (qobject_cast<const QComboBox*>(&widget) != nullptr ||
            widget.inherits("QAbstractItemView")) {
            return std::nullopt;
        }
        for (const char* property : {"title", "text"}) {
            if (const QVariant text = widget.property(property); text.isValid()) {
                return text.toString().toStdString();
            }
        }
        return std::string();
    }
    std::optional<conformance::Font> font(const std::string& name) override {
        const QFont font = at(name).font();
        // The face itself where Wine's fonts are installed; elsewhere another stands in.
        const bool installed = QFile::exists("/usr/share/wine/fonts/ms_sans_serif.ttf");
        return conformance::Font{
            (installed ? QFontInfo(font).family() : font.family()).toStdString(), font.pointSizeF(),
            static_cast<int>(font.weight())};
    }
    conformance::Extent extent(const std::string& name, const std::string& text,
                               int wrap) override {
        const QFontMetrics metrics(at(name).font());
        if (wrap == 0) {
            return {metrics.horizontalAdvance(qname(text)), metrics.height()};
        }
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, wrap, 10000), Qt::TextWordWrap, qname(text));
        return {needed.width(), needed.height()};
    }
    // Siblings are painted in the order of their parent's children: the last is in front.
    std::vector<std::string> frontToBack(const std::string& container) override {
        std::vector<std::string> names;
        for (const QObject* child : at(container).children()) {
            names.insert(names.begin(), child->objectName().toStdString());
        }
        return names;
    }

    std::string title() override { return window_.form.windowTitle().toStdString(); }
    Box client() override { return {0, 0, window_.form.width(), window_.form.height()}; }
    bool hasMenuBar() override { return !window_.form.findChildren<QMenuBar*>().isEmpty(); }
    std::vector<conformance::MenuItem> popupMenu() override {
        std::vector<conformance::MenuItem> items;
        for (const QAction* item : window_.widget<QMenu>("PUMenu_Files").actions()) {
            items.push_back({item->text().toStdString(), item->isEnabled(), item->isCheckable()});
        }
        return items;
    }
    void resize(int width, int height) override {
        window_.form.resize(width, height);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_.form));
    }

    std::string focused() override {
        const QWidget* focus = QApplication::focusWidget();
        return focus != nullptr ? focus->objectName().toStdString() : "(none)";
    }
    void pressTab(bool shift) override {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                        shift ? Qt::ShiftModifier : Qt::NoModifier);
    }
    conformance::Bar scrollBar() override {
        const QScrollBar& bar = window_.vScrollFiles();
        return {bar.minimum(), bar.maximum(), bar.value(), bar.singleStep(), bar.pageStep()};
    }
    void scroll(conformance::Scroll part) override {
        using enum conformance::Scroll;
        window_.vScrollFiles().triggerAction(part == ArrowUp ? QAbstractSlider::SliderSingleStepSub
                                             : part == ArrowDown
                                                 ? QAbstractSlider::SliderSingleStepAdd
                                             : part == PageUp   ? QAbstractSlider::SliderPageStepSub
                                             : part == PageDown ? QAbstractSlider::SliderPageStepAdd
                                                                : QAbstractSlider::SliderToMaximum);
        QCoreApplication::processEvents();
    }
    void type(const std::string& name, const std::u32string& keys) override {
        QWidget* box = &at(name);
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_End);
        for (const char32_t key : keys) {
            if (key == U'\b' || key == U'\r' || key == U'\n') {
                QTest::keyClick(box, key == U'\b'   ? Qt::Key_Backspace
                                     : key == U'\r' ? Qt::Key_Return
                                                    : Qt::Key_Enter);
            } else {
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString::fromUcs4(&key, 1),
                                    Qt::NoModifier);
            }
        }
    }

    void click(const std::string& button) override {
        QTest::mouseClick(&at(button), Qt::LeftButton);
    }
    // A popup menu that opens is recorded, then its first item clicked (which takes the
    // release) or it is left with Escape; whatever popup is still up is closed, so that a press
    // never leaves the test waiting on a menu.
    std::optional<std::vector<std::string>> press(const std::string& name,
                                                  conformance::Button button,
                                                  bool choose) override {
        const Qt::MouseButton pressed = button == conformance::Button::Left    ? Qt::LeftButton
                                        : button == conformance::Button::Right ? Qt::RightButton
                                                                               : Qt::MiddleButton;
        QWidget* box = &at(name);
        const QPoint point(30, 5);
        const QPoint pointer = box->mapToGlobal(point);
        std::optional<std::vector<std::string>> seen;
        QObject armed;
        QTimer::singleShot(0, &armed, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                EXPECT_EQ(menu->objectName(), QStringLiteral("PUMenu_Files"));
                EXPECT_EQ(menu->pos(), pointer);
                seen.emplace();
                for (const QAction* action : menu->actions()) {
                    seen->push_back(action->text().toStdString());
                }
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
        QCursor::setPos(pointer);
        const QPointer<QWidget> still(box);
        QTest::mousePress(box, pressed, {}, point);
        // Without a popup the timer has not run yet: let it find none.
        QCoreApplication::processEvents();
        if ((!seen || !choose) && still) {
            QTest::mouseRelease(box, pressed, {}, point);
        }
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        return seen;
    }

    std::string pathOf(const std::string& file) override { return "/d/" + file; }
    void drop(const std::optional<std::vector<std::string>>& paths) override {
        QMimeData data;
        if (paths) {
            QList<QUrl> urls;
            for (const std::string& path : *paths) {
                urls << QUrl::fromLocalFile(qname(path));
            }
            data.setUrls(urls);
        } else {
            data.setText(QStringLiteral("/d/a.jpg"));
        }
        QWidget& picture = window_.picture1();
        dragAndDrop(&picture, picture.rect().center(), data);
        QCoreApplication::processEvents();
    }

    std::string readAs(const std::string& name) override {
        std::map<std::string, std::string> names;
        collect(QAccessible::queryAccessibleInterface(&window_.form), names);
        return names.contains(name) ? names[name] : name + " is not in the tree";
    }
    std::string description(const std::string& name) override {
        return QAccessible::queryAccessibleInterface(&at(name))
            ->text(QAccessible::Description)
            .toStdString();
    }

  private:
    // A row's boxes by the row they show now: a box lent to another row keeps its old name.
    QWidget* widget(const std::string& name) {
        const auto [array, row] = conformance::rowBoxOf(name);
        if (row > 0) {
            qt::SlidingFrame& slide = window_.frameSlide();
            return array == "Text1" ? slide.pathEditor(row) : slide.countEditor(row);
        }
        return name == "Form1" ? &window_.form : window_.control<QWidget>(name.c_str());
    }
    QWidget& at(const std::string& name) {
        QWidget* found = widget(name);
        if (found == nullptr) {
            throw std::logic_error("the window has no such widget: " + name);
        }
        return *found;
    }

    NoPainting painter_;
    Window window_{painter_};
};

}  // namespace
}  // namespace vantrel::test

namespace vantrel::conformance {
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, WindowConformance, test::QtWindowProbe);
}  // namespace vantrel::conformance

namespace vantrel::test {
namespace {

TEST(QtWindow, HasTheWindowsFontAndIcons) {
    NoPainting painter;
    const Window window(painter);
    const QFont font = window.form.font();
    EXPECT_EQ(font.pointSizeF(), 8.25);
    EXPECT_FALSE(font.bold());
    if (QFile::exists("/usr/share/wine/fonts/ms_sans_serif.ttf")) {
        EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("MS Sans Serif"));
    }
    const QList<QSize> iconSizes = window.form.windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
}

TEST(QtWindow, ThePopupMenuIsAHiddenMenuOfItsOwn) {
    NoPainting painter;
    Window window(painter);
    const auto& menu = window.widget<QMenu>("PUMenu_Files");
    EXPECT_EQ(menu.title(), QStringLiteral("Menu_Files"));
    EXPECT_TRUE(menu.isHidden());
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions().first()->objectName(), QStringLiteral("PUMenu_DeleteFile"));
}

}  // namespace
}  // namespace vantrel::test

// The window's tests run offscreen unless told otherwise.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
