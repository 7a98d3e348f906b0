#pragma once

#include "platform/conventions.h"
#include "platform/fs/real_file_system.h"
#include "platform/services.h"
#include "qt/form1_window.h"
#include "qt/progress_accessible.h"
#include "qt/progress_repainter.h"
#include "qt/qt_launcher.h"
#include "qt/qt_message_box.h"
#include "qt/qt_waiter.h"

namespace vantrel::qt {

// The fixed layout was drawn for the classic look, whose frames carry their caption in the
// border. Call before the application exists so that it brings its own palette; a style the
// user chose (QT_STYLE_OVERRIDE or -style) still wins.
void chooseClassicStyle();

// The program as main() runs it: the outside world and the window over it.
class Program {
  public:
    Program();

    Form1Window& window() { return window_; }

  private:
    QtMessageBox messageBox_;
    RealFileSystem fileSystem_;
    QtLauncher launcher_;
    const Conventions conventions_;
    ProgressRepainter painter_;
    QtWaiter waiter_;
    Services services_;
    Form1Window window_;
    ProgressAccessible progress_;
};

}  // namespace vantrel::qt
