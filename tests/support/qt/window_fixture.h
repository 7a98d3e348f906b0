#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRect>
#include <QScrollBar>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "filelist/file_list.h"
#include "platform/conventions.h"
#include "platform/fs/real_file_system.h"
#include "qt/directory_list.h"
#include "qt/drive_list.h"
#include "qt/form1_window.h"
#include "qt/picture_box.h"
#include "qt/sliding_frame.h"
#include "support/expected.h"
#include "support/fake_launcher.h"
#include "support/fake_message_box.h"
#include "support/fake_painter.h"
#include "support/fake_waiter.h"

namespace vantrel::test {

using expected::pixels;

inline QRect pixels(const expected::Rect& rect) {
    return {pixels(rect.left), pixels(rect.top), pixels(rect.width), pixels(rect.height)};
}

inline QString qtext(const std::string& text) {
    return QString::fromStdString(text);
}

// The top-level widgets that still exist, by name or class: a test must leave none behind.
inline QByteArray leftoverWindows() {
    QStringList names;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        names << (widget->objectName().isEmpty()
                      ? QString::fromLatin1(widget->metaObject()->className())
                      : widget->objectName());
    }
    return names.join(QStringLiteral(", ")).toUtf8();
}

// Presses one button of every modal message box shown while it lives, from inside the box's
// own event loop as a person would, and records what each box showed. A test checks `answered`:
// a box that never came is a failure, not a silent pass.
class BoxAnswerer : public QObject {
  public:
    struct Box {
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    explicit BoxAnswerer(QMessageBox::StandardButton press) : press_(press) {
        QApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box != nullptr && event->type() == QEvent::Show && !event->spontaneous()) {
            // Queued, so that it runs once the box waits in its loop.
            QTimer::singleShot(0, box, [this, box] { answer(*box); });
        }
        return false;
    }

    std::vector<Box> answered;

  private:
    void answer(QMessageBox& box) {
        answered.push_back({box.windowTitle(), box.text(), box.standardButtons()});
        if (QAbstractButton* button = box.button(press_)) {
            button->click();
        } else {
            // Not offered: the recorded buttons tell, and the test goes on.
            box.reject();
        }
    }

    QMessageBox::StandardButton press_;
};

// The real window over the real file system, with scripted message boxes and a launcher that
// records instead of starting programs. The log file goes into a fresh temporary folder.
struct Window {
    explicit Window(ProgressPainter& painter)
        : conventions(Conventions::posix(home.path().toStdString())),
          services{messageBox, fileSystem, launcher, conventions, painter, waiter},
          form(services) {}
    // QTemporaryDir leaves names that are not UTF-8 behind, which std::filesystem removes by
    // their bytes.
    ~Window() {
        std::error_code ignored;
        std::filesystem::remove_all(home.path().toStdString(), ignored);
    }

    // Adds an entry the way a drop does.
    void addRow(const std::string& path, const std::string& count) {
        FileList(controls().Text1, controls().CopyTimes).append(path, count);
    }

    // Opens the window as start-up does; false when it never got on screen.
    bool open() {
        form.open();
        return QTest::qWaitForWindowExposed(&form);
    }

    const Form1Controls& controls() const { return form.controls(); }

    // The widget of that name, or nullptr.
    template <class T>
    T* control(const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }

    // The widget of that name, which the window must have.
    template <class T>
    T& widget(const char* name) {
        T* found = control<T>(name);
        if (found == nullptr) {
            throw std::logic_error(std::string("the window has no such widget: ") + name);
        }
        return *found;
    }

    qt::SlidingFrame& frameSlide() { return widget<qt::SlidingFrame>("FrameSlide"); }
    qt::DriveList& drive1() { return widget<qt::DriveList>("Drive1"); }
    qt::DirectoryList& dir1() { return widget<qt::DirectoryList>("Dir1"); }
    qt::PictureBox& picture1() { return widget<qt::PictureBox>("Picture1"); }
    QLineEdit& saveTo() { return widget<QLineEdit>("SaveTo"); }
    QScrollBar& vScrollFiles() { return widget<QScrollBar>("VScrollFiles"); }
    QPushButton& button(const char* name) { return widget<QPushButton>(name); }

    QTemporaryDir home;
    FakeMessageBox messageBox;
    RealFileSystem fileSystem;
    FakeLauncher launcher;
    Conventions conventions;
    NoWaiting waiter;
    Services services;
    qt::Form1Window form;
};

}  // namespace vantrel::test
