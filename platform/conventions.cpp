#include "platform/conventions.h"

#include <cstdlib>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace vantrel {

std::string LaunchCommand::commandLine() const {
    std::string line = program;
    for (const auto& argument : arguments) {
        line += ' ';
        line += argument;
    }
    return line;
}

Conventions Conventions::windows() {
    return {'\\',
            "c:\\Log.txt",
            {"notepad", {"c:\\Log.txt"}, WindowStyle::Minimized},
            {"explorer.exe", {"/e,", "C:\\"}, WindowStyle::Normal}};
}

Conventions Conventions::posix(const std::string& home) {
    std::string logPath = home;
    if (logPath.empty() || logPath.back() != '/') {
        logPath += '/';
    }
    logPath += "Log.txt";
    return {'/',
            logPath,
            {"xdg-open", {logPath}, WindowStyle::Minimized},
            {"xdg-open", {"/"}, WindowStyle::Normal}};
}

Conventions Conventions::current() {
#ifdef _WIN32
    return windows();
#else
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : "/";
    }
    return posix(home);
#endif
}

}  // namespace vantrel
