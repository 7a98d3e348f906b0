#pragma once

#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>

#include "platform/conventions.h"
#include "platform/fake/fake_launcher.h"
#include "platform/fake/fake_message_box.h"
#include "platform/fs/real_file_system.h"
#include "qt/form1.h"
#include "qt/sliding_frame.h"

namespace vantrel::test {

// The real window over the real file system, with scripted message boxes and a launcher that
// records instead of starting programs. The log file goes into a fresh temporary folder.
struct Window {
    explicit Window(ProgressPainter& painter)
        : conventions(Conventions::posix(home.path().toStdString())),
          services{messageBox, fileSystem, launcher, conventions, painter},
          form(services) {}

    // Adds a row the way a drop does: below the last one, shown, with its path and count.
    void addRow(const std::string& path, const std::string& count) {
        TextBoxArray& paths = form.FrameSlide().Text1();
        TextBoxArray& counts = form.FrameSlide().CopyTimes();
        const int i = paths.count();
        for (auto [array, text] : {std::pair{&paths, path}, std::pair{&counts, count}}) {
            array->load(i);
            array->item(i).setTop(array->item(0).height() + array->item(i - 1).top());
            array->item(i).setText(text);
            array->item(i).setVisible(true);
        }
    }

    // Loads and shows the window as start-up does; false when it never got on screen.
    bool open() {
        form.handle([this] { form.Form_Load(); });
        form.show();
        return QTest::qWaitForWindowExposed(&form);
    }

    template <class T>
    T* control(const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }

    QTemporaryDir home;
    fake::FakeMessageBox messageBox;
    RealFileSystem fileSystem;
    fake::FakeLauncher launcher;
    Conventions conventions;
    Services services;
    Form1 form;
};

}  // namespace vantrel::test
