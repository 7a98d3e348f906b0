#pragma once

#include "platform/conventions.h"
#include "platform/file_system.h"
#include "platform/launcher.h"
#include "platform/message_box.h"
#include "platform/waiting.h"

namespace vantrel {

// Lets a long run show its progress while it holds the window's thread.
class ProgressPainter {
  public:
    virtual ~ProgressPainter() = default;
    // Paints the progress caption and bar now; with `always` false the window may skip a
    // paint that comes too soon after the last one.
    virtual void paintProgress(bool always) = 0;
};

// The outside world as the window's handlers reach it.
struct Services {
    MessageBox& messageBox;
    FileSystem& fileSystem;
    Launcher& launcher;
    const Conventions& conventions;
    ProgressPainter& painter;
    Waiter& waiter;
};

}  // namespace vantrel

namespace vantrel {

// Starts the outside program; one that cannot be started is told in a message box.
void launchOrReport(const LaunchCommand& command, Services& services);

}  // namespace vantrel
