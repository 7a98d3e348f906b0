#pragma once

#include <windows.h>

#include <string>

#include "platform/handle_win32.h"
#include "platform/launcher.h"

namespace vantrel::win32 {

// What CreateProcessW is given for a command: the program's full path where it is one of the
// system's own, and the command line with every part that holds a blank quoted.
struct ProcessCommand {
    // Empty for any other program, which the system then looks for in its usual order.
    std::wstring application;
    std::wstring commandLine;
};

// `notepad` and `explorer.exe` are taken from the system's folders by their full path: looked
// for by name, a program of that name lying in the folder this program was started from would
// run instead.
ProcessCommand processCommand(const LaunchCommand& command);

// Starts the command and returns the new process.
Handle startProcess(const LaunchCommand& command);

// Starts the command line as a new process with the command's window style, not awaited.
class Win32Launcher : public Launcher {
  public:
    void launch(const LaunchCommand& command) override;
};

}  // namespace vantrel::win32
