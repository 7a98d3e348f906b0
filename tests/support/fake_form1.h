#pragma once

#include "platform/conventions.h"
#include "platform/fake/fake_controls.h"
#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_launcher.h"
#include "platform/fake/fake_message_box.h"
#include "platform/fake/fake_waiter.h"
#include "platform/services.h"
#include "support/expected.h"
#include "support/fake_replication_window.h"
#include "window/form1.h"

namespace vantrel::testing {

// Form1's logic over fake controls with the window's geometry and a fake outside world, as a
// front end wires it.
struct FakeForm1 : FakeReplicationWindow {
    explicit FakeForm1(Conventions conventions = Conventions::posix("/home/user"))
        : conventions(std::move(conventions)),
          fs(this->conventions.separator),
          services{messageBox, fs, launcher, this->conventions, painter, waiter},
          form(Form1Controls{text1, copyTimes, frameSlide, frameFix, bar, saveTo, labelProgress,
                             shapeProgress, shapeProgressBack, drive1, dir1, picture1, popup},
               services) {}

    fake::FakeFrame frameSlide{expected::kFrameSlide.top, expected::kFrameSlide.height};
    fake::FakeFrame frameFix{expected::kFrameFix.top, expected::kFrameFix.height};
    fake::FakeScrollBar bar;
    fake::FakeDriveList drive1;
    fake::FakeDirectoryList dir1;
    fake::FakeDropTarget picture1;
    fake::FakePopupMenu popup;

    Conventions conventions;
    fake::FakeMessageBox messageBox;
    fake::FakeFileSystem fs;
    fake::FakeLauncher launcher;
    NoPainting painter;
    fake::FakeWaiter waiter;
    Services services;
    Form1 form;
};

}  // namespace vantrel::testing
