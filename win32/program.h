#pragma once

#include "platform/conventions.h"
#include "platform/fs/real_file_system.h"
#include "platform/services.h"
#include "win32/accessible_names.h"
#include "win32/form1_window.h"
#include "win32/launcher.h"
#include "win32/message_box.h"
#include "win32/progress_announcer.h"
#include "win32/progress_repainter.h"
#include "win32/waiter.h"

namespace vantrel::win32 {

// The program as wWinMain runs it: the outside world and the window over it. OLE must be
// initialised on the thread first.
class Program {
  public:
    Program();

    Form1Window& window() { return window_; }

    // Opens the window and turns the message loop until the window is closed; the exit code.
    int run(int showCommand);

    // Lets the window refuse, during a run, the input that the painter and the waiter read.
    static void refuseThrough(Form1Window& window, ProgressRepainter& painter, Win32Waiter& waiter);

  private:
    Win32MessageBox messageBox_;
    RealFileSystem fileSystem_;
    Win32Launcher launcher_;
    const Conventions conventions_;
    ProgressRepainter painter_;
    Win32Waiter waiter_;
    Services services_;
    Form1Window window_;
    AccessibleNames names_;
    ShellTaskbarButton taskbar_;
    ProgressAnnouncer announcer_{names_, taskbar_};
};

}  // namespace vantrel::win32
