#include "qt/qt_launcher.h"

#include <spawn.h>
#include <sys/wait.h>

#include <system_error>
#include <thread>
#include <vector>

#include "platform/failure.h"

extern char** environ;

namespace vantrel::qt {

void QtLauncher::launch(const LaunchCommand& command) {
    // QProcess takes the program and its arguments as text and hands them on as UTF-8, which
    // would turn a log path that is not UTF-8 into another path: they go to the system as the
    // bytes they are. The window style is the desktop's business: a started program cannot be
    // told.
    std::vector<char*> argv{const_cast<char*>(command.program.c_str())};
    for (const auto& argument : command.arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // In a session of its own, as a detached program outlives the window.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child = 0;
    const int error = posix_spawnp(&child, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        throw Failure(kFileNotFound, std::generic_category().message(error));
    }
    // Not awaited: its end is collected on the side, so that it leaves no zombie behind.
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
}

}  // namespace vantrel::qt
