#pragma once

#include <string>
#include <vector>

namespace vantrel {

enum class WindowStyle : int { Normal = 1, Minimized = 2 };

// An outside program to start, not awaited.
struct LaunchCommand {
    std::string program;
    std::vector<std::string> arguments;
    WindowStyle style = WindowStyle::Normal;

    // Program and arguments joined by blanks, as the command line reads to a person.
    std::string commandLine() const;
};

class Launcher {
  public:
    virtual ~Launcher() = default;
    // Starts the program and returns at once; raises a Failure when it cannot be started.
    virtual void launch(const LaunchCommand& command) = 0;
};

}  // namespace vantrel
