#pragma once

#include <vector>

#include "platform/failure.h"
#include "platform/launcher.h"

namespace vantrel::test {

class FakeLauncher : public Launcher {
  public:
    void launch(const LaunchCommand& command) override {
        if (failWith != 0) {
            throw Failure(failWith, "No such file or directory");
        }
        launched.push_back(command);
    }
    std::vector<LaunchCommand> launched;
    int failWith = 0;
};

}  // namespace vantrel::test
