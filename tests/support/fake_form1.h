#pragma once

#include "platform/conventions.h"
#include "platform/services.h"
#include "support/expected.h"
#include "support/fake_controls.h"
#include "support/fake_file_system.h"
#include "support/fake_launcher.h"
#include "support/fake_message_box.h"
#include "support/fake_painter.h"
#include "support/fake_replication_window.h"
#include "support/fake_waiter.h"
#include "window/form1.h"

namespace vantrel::test {

// Form1's logic over fake controls with the window's geometry and a fake outside world, as a
// front end wires it.
struct FakeForm1 : FakeReplicationWindow {
    explicit FakeForm1(Conventions conventions = Conventions::posix("/home/user"))
        : conventions(std::move(conventions)),
          fs(this->conventions.separator),
          services{messageBox, fs, launcher, this->conventions, painter, waiter},
          form(Form1Controls{text1, copyTimes, frameSlide, frameFix, bar, saveTo, labelProgress,
                             shapeProgress, shapeProgressBack, drive1, dir1, picture1, popup,
                             clipboard, commonDialog1},
               services) {}

    FakeFrame frameSlide{expected::kFrameSlide.top, expected::kFrameSlide.height};
    FakeFrame frameFix{expected::kFrameFix.top, expected::kFrameFix.height};
    FakeScrollBar bar;
    FakeDriveList drive1;
    FakeDirectoryList dir1;
    FakeDropTarget picture1;
    FakePopupMenu popup;
    FakeClipboard clipboard;
    FakeFileDialog commonDialog1;

    Conventions conventions;
    FakeMessageBox messageBox;
    FakeFileSystem fs;
    FakeLauncher launcher;
    NoPainting painter;
    FakeWaiter waiter;
    Services services;
    Form1 form;
};

}  // namespace vantrel::test
