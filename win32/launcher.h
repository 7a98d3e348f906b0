#pragma once

#include "platform/launcher.h"

namespace vantrel::win32 {

// Starts the command line as a new process with the command's window style, not awaited.
class Win32Launcher : public Launcher {
  public:
    void launch(const LaunchCommand& command) override;
};

}  // namespace vantrel::win32
