#pragma once

#include "platform/launcher.h"

namespace vantrel::qt {

// Starts the program detached: it is not awaited and outlives the window.
class QtLauncher : public Launcher {
  public:
    void launch(const LaunchCommand& command) override;
};

}  // namespace vantrel::qt
