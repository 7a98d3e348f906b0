#include "qt/form1_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHash>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "filelist/drop_intake.h"
#include "platform/failure.h"
#include "qt/byte_text.h"
#include "qt/directory_list.h"
#include "qt/drive_list.h"
#include "qt/open_file_dialog.h"
#include "qt/picture_box.h"
#include "qt/qt_controls.h"
#include "qt/sliding_frame.h"
#include "qt/system_clipboard.h"
#include "qt/twips.h"
#include "qt/window_font.h"
#include "window/form1_layout.h"
#include "window/form1_wiring.h"

// The images are compiled into the window's library; a static library needs them registered
// by name, outside any namespace.
static void registerImages() {
    Q_INIT_RESOURCE(resources);
}

namespace vantrel::qt {

namespace {

QString qtext(const std::string& text) {
    return QString::fromStdString(text);
}

QColor qcolour(const layout::Rgb& rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

}  // namespace

// The widgets that stand for the window's controls, made from the layout data.
struct Form1Window::Widgets {
    explicit Widgets(Form1Window& window) : window(window) {}

    Form1Window& window;
    QHash<QString, QWidget*> byName;
    std::map<layout::Role, QWidget*> byRole;

    SlidingFrame* frameSlide = nullptr;
    PictureBox* picture1 = nullptr;
    DriveList* drive1 = nullptr;
    DirectoryList* dir1 = nullptr;
    QMenu* puMenuFiles = nullptr;
    // What a click hands to the logic: the role of the button or menu item clicked.
    std::vector<std::pair<QPushButton*, layout::Role>> buttons;
    std::vector<std::pair<QAction*, layout::Role>> menuItems;
    // What a run greys.
    std::vector<QWidget*> refusingDuringRun;

    std::unique_ptr<QtFrame> frameFix;
    std::unique_ptr<QtScrollBar> vScrollFiles;
    std::unique_ptr<QtTextBox> saveTo;
    std::unique_ptr<QtLabel> labelProgress;
    std::unique_ptr<QtShape> shapeProgress;
    std::unique_ptr<QtShape> shapeProgressBack;
    std::unique_ptr<QtPopupMenu> popupFiles;
    QtClipboard clipboard;
    QtFileDialog commonDialog1{window};
    std::optional<Form1Controls> controls;

    void build() {
        for (const layout::Control& control : layout::form1().controls) {
            if (QWidget* widget = make(control, *byName.value(qtext(control.container)))) {
                widget->setObjectName(qtext(control.name));
                byName.insert(widget->objectName(), widget);
                if (control.role != layout::Role::None) {
                    byRole.emplace(control.role, widget);
                }
            }
        }
        // The lists are filled once placed, so that the current folder scrolls into view.
        drive1->setDrives(userDrives());
        openStartFolder();
        makeMenu(layout::form1().popupMenu);
        stack();
        orderTabs();
        controls.emplace(form1Controls(*this));
    }

    // The widget of one control, placed and captioned; nullptr for the rows' template boxes,
    // which the sliding frame keeps as rows of its own.
    QWidget* make(const layout::Control& control, QWidget& container) {
        QWidget* widget = create(control, container);
        if (widget == nullptr) {
            return nullptr;
        }
        widget->setFont(windowFont(control.bold));
        widget->setAccessibleName(qtext(layout::accessibleName(control)));
        widget->setAccessibleDescription(qtext(control.accessibleDescription));
        if (control.bold) {
            drawBoldCaption(widget);
        }
        if (layout::takesFocus(control.kind)) {
            widget->setFocusPolicy(Qt::StrongFocus);
        }
        placeInTwips(widget, control.rect);
        if (!control.visible) {
            widget->hide();
        }
        if (layout::greyedDuringRun(control)) {
            refusingDuringRun.push_back(widget);
        }
        return widget;
    }

    QWidget* create(const layout::Control& control, QWidget& container) {
        const QString caption = qtext(control.caption);
        switch (control.kind) {
            case layout::Kind::Frame:
                return createFrame(control, container);
            case layout::Kind::Label: {
                auto* label = new QLabel(caption, &container);
                label->setTextFormat(Qt::PlainText);
                label->setWordWrap(control.wordWrap);
                label->setAlignment(
                    (control.align == layout::Align::Center ? Qt::AlignHCenter : Qt::AlignLeft) |
                    Qt::AlignTop);
                if (control.textColour) {
                    QPalette palette = label->palette();
                    palette.setColor(QPalette::WindowText, qcolour(*control.textColour));
                    label->setPalette(palette);
                }
                if (control.role == layout::Role::ProgressCaption) {
                    labelProgress = std::make_unique<QtLabel>(label, control.rect);
                }
                return label;
            }
            case layout::Kind::TextBox: {
                if (control.role != layout::Role::Destination) {
                    return nullptr;
                }
                auto* edit = new QLineEdit(caption, &container);
                // Only the drop area takes dropped files.
                edit->setAcceptDrops(false);
                saveTo = std::make_unique<QtTextBox>(edit, control.rect);
                return edit;
            }
            case layout::Kind::CommandButton: {
                auto* button = new QPushButton(caption, &container);
                button->setAutoDefault(false);
                button->setDefault(false);
                buttons.emplace_back(button, control.role);
                return button;
            }
            case layout::Kind::PictureBox:
                picture1 = new PictureBox(&container);
                picture1->setPicture(QPixmap(QStringLiteral(":/drop_picture.jpg")));
                return picture1;
            case layout::Kind::Shape: {
                auto* shape = new ShapeWidget(&container, qcolour(control.fill.value()),
                                              control.outlinePixels);
                auto adapter = std::make_unique<QtShape>(shape, control.rect);
                (control.role == layout::Role::ProgressFill ? shapeProgress : shapeProgressBack) =
                    std::move(adapter);
                return shape;
            }
            case layout::Kind::VScrollBar: {
                auto* bar = new QScrollBar(Qt::Vertical, &container);
                // The list follows the thumb when it is released, not while it is dragged.
                bar->setTracking(false);
                vScrollFiles = std::make_unique<QtScrollBar>(bar, control.rect);
                return bar;
            }
            case layout::Kind::DriveList:
                drive1 = new DriveList(&container);
                return drive1;
            case layout::Kind::DirListBox:
                dir1 = new DirectoryList(&container);
                return dir1;
        }
        throw Failure(kElementDoesNotExist, "A control of an unknown kind: " + control.name);
    }

    QWidget* createFrame(const layout::Control& control, QWidget& container) {
        if (control.role == layout::Role::SlidingFrame) {
            const layout::Control& paths = layout::control(layout::Role::PathTemplate);
            const layout::Control& counts = layout::control(layout::Role::CountTemplate);
            frameSlide = new SlidingFrame(&container, control.rect, paths.rect, counts.rect);
            frameSlide->setAccessibleRowNames(qtext(layout::accessibleName(paths)),
                                              qtext(layout::accessibleName(counts)));
            return frameSlide;
        }
        auto* frame = new QGroupBox(qtext(control.caption), &container);
        if (control.role == layout::Role::ListFrame) {
            frameFix = std::make_unique<QtFrame>(frame, control.rect);
        }
        return frame;
    }

    // The directory list starts in the current folder; where that cannot be read, in the home
    // folder or at the root, so that the window always opens.
    void openStartFolder() {
        for (const QString& folder : {QDir::currentPath(), QDir::homePath(), QDir::rootPath()}) {
            try {
                dir1->setPath(bytesOfText(folder));
                return;
            } catch (const Failure&) {
                // Unreadable: the next one, then.
            }
        }
    }

    // A menu of the window that is never on a menu bar: it only pops up over a path box.
    void makeMenu(const layout::Menu& menu) {
        puMenuFiles = new QMenu(qtext(menu.caption), &window);
        puMenuFiles->setObjectName(qtext(menu.name));
        for (const layout::MenuItem& item : menu.items) {
            QAction* action = puMenuFiles->addAction(qtext(item.caption));
            action->setObjectName(qtext(item.name));
            menuItems.emplace_back(action, item.role);
        }
        popupFiles = std::make_unique<QtPopupMenu>(*puMenuFiles);
    }

    // Raising the controls from the back leaves the first of each container in front.
    void stack() {
        const auto& controls = layout::form1().controls;
        for (auto it = controls.crbegin(); it != controls.crend(); ++it) {
            if (QWidget* widget = byName.value(qtext(it->name))) {
                widget->raise();
            }
        }
    }

    void orderTabs() {
        const std::vector<const layout::Control*> order = layout::tabOrder();
        for (std::size_t i = 1; i < order.size(); ++i) {
            QWidget::setTabOrder(byName.value(qtext(order[i - 1]->name)),
                                 byName.value(qtext(order[i]->name)));
        }
    }

    void connectTo(Form1& form) {
        // Opening a folder belongs to the directory list itself; only what it cannot read is
        // told.
        QObject::connect(dir1, &DirectoryList::openRequested, &window,
                         [this, &form](const QString& folder) {
                             form.handle([this, folder] { dir1->setPath(bytesOfText(folder)); });
                         });
        for (const auto& [button, role] : buttons) {
            QObject::connect(button, &QPushButton::clicked, &window,
                             [&form, role] { form.Click(role); });
        }
        for (const auto& [action, role] : menuItems) {
            QObject::connect(action, &QAction::triggered, &window,
                             [&form, role] { form.Click(role); });
        }
        QObject::connect(picture1, &PictureBox::dropped, &window, [&form](const QMimeData* data) {
            form.Picture1_OLEDragDrop(DroppedFileList(*data));
        });
        handRowEvents(form, *this);
        QObject::connect(vScrollFiles->widget(), &QScrollBar::valueChanged, &window,
                         [&form] { form.VScrollFiles_Change(); });
    }
};

namespace {

// A run that ends within this time greys nothing, so that short runs do not flicker.
constexpr int kBlinkMs = 250;

}  // namespace

Form1Window::Form1Window(Services& services, QWidget* parent)
    : QWidget(parent), widgets_(std::make_unique<Widgets>(*this)) {
    registerImages();
    const layout::Form& form = layout::form1();
    setObjectName(qtext(form.name));
    setWindowTitle(qtext(form.caption));
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/window_icon_%1.png").arg(size));
    }
    setWindowIcon(icon);
    setFont(windowFont());
    resize(toPixels(form.width, this), toPixels(form.height, this));

    widgets_->byName.insert(objectName(), this);
    widgets_->build();
    logic_ = std::make_unique<Form1>(*widgets_->controls, services);
    widgets_->connectTo(*logic_);
    logic_->runningChanged = [this](bool running) { showRunning(running); };
    logic_->unload = [this] { close(); };
    greying_.setSingleShot(true);
    greying_.setInterval(kBlinkMs);
    connect(&greying_, &QTimer::timeout, this, [this] {
        focusBeforeRun_ = QApplication::focusWidget();
        // Else Qt would hand the focus of a greyed control to the list's first box.
        if (focusBeforeRun_ != nullptr) {
            focusBeforeRun_->clearFocus();
        }
        for (QWidget* widget : widgets_->refusingDuringRun) {
            widget->setEnabled(false);
        }
    });
    // Input reaches the window during a run, as the window must stay a window; what the run
    // cannot take is refused here before any widget sees it.
    QApplication::instance()->installEventFilter(this);
    focus();
}

void Form1Window::open() {
    logic_->Form_Load();
    show();
    focus();
}

void Form1Window::focus() {
    widgets_->byName.value(qtext(layout::form1().focus))->setFocus();
}

// A close request during a run asks whether to stop it; after Yes the window closes once the
// run has ended. While one of the run's modal boxes is up, Qt refuses the request before it
// comes here.
void Form1Window::closeEvent(QCloseEvent* event) {
    bool Cancel = false;
    logic_->Form_QueryUnload(Cancel);
    if (Cancel) {
        event->ignore();
    }
}

void Form1Window::showRunning(bool running) {
    if (running) {
        greying_.start();
        return;
    }
    // Input that came during the run's last moments is refused, not left for after it.
    QCoreApplication::processEvents();
    greying_.stop();
    for (QWidget* widget : widgets_->refusingDuringRun) {
        widget->setEnabled(true);
    }
    if (focusBeforeRun_ != nullptr && focusBeforeRun_->isEnabled()) {
        focusBeforeRun_->setFocus();
    }
    focusBeforeRun_ = nullptr;
}

// During a run the window moves, repaints and scrolls its list; keys and clicks anywhere else
// in it are refused, and Escape asks whether to stop. Message boxes are windows of their own.
// Out of a run, a key for any control of the window but a text box is first offered to
// Form_KeyDown, so that a paste key pastes files wherever the focus is, as no control takes it.
bool Form1Window::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) {
        return false;
    }
    const auto& widget = static_cast<const QWidget&>(*watched);
    if (!logic_->running()) {
        return event->type() == QEvent::KeyPress && widget.window() == this &&
               qobject_cast<const QLineEdit*>(&widget) == nullptr &&
               offeredToForm(static_cast<const QKeyEvent&>(*event));
    }
    if (&widget != this && !isAncestorOf(&widget)) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.key() == Qt::Key_Escape && !key.isAutoRepeat()) {
            std::int16_t KeyCode = vbKeyEscape;
            logic_->Form_KeyDown(KeyCode, 0);
        }
        return true;
    }
    return refusedDuringRun(widget, *event);
}

bool Form1Window::refusedDuringRun(const QWidget& widget, const QEvent& event) const {
    switch (event.type()) {
        case QEvent::KeyRelease:
        case QEvent::ContextMenu:
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel: {
            const QWidget* bar = widgets_->vScrollFiles->widget();
            return &widget != bar && !bar->isAncestorOf(&widget);
        }
        default:
            return false;
    }
}

// True when Form_KeyDown used the key.
bool Form1Window::offeredToForm(const QKeyEvent& press) {
    // Letters and Insert by their virtual-key codes, which Qt's codes of the letters are.
    const int key = press.key();
    std::int16_t KeyCode = 0;
    if (key == Qt::Key_Insert) {
        KeyCode = vbKeyInsert;
    } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        KeyCode = static_cast<std::int16_t>(key);
    } else {
        return false;
    }
    const Qt::KeyboardModifiers held = press.modifiers();
    logic_->Form_KeyDown(
        KeyCode, shiftState(held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::ControlModifier),
                            held.testFlag(Qt::AltModifier)));
    return KeyCode == 0;
}

Form1Window::~Form1Window() = default;

const Form1Controls& Form1Window::controls() const {
    return *widgets_->controls;
}

QWidget* Form1Window::child(layout::Role role) const {
    const auto found = widgets_->byRole.find(role);
    return found != widgets_->byRole.end() ? found->second : nullptr;
}

QRect Form1Window::progressArea() const {
    return widgets_->shapeProgressBack->widget()->geometry() |
           widgets_->labelProgress->widget()->geometry();
}

}  // namespace vantrel::qt
