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

Conventions Conventions::windows(const std::string& localAppData) {
    std::string userLogPath;
    if (!localAppData.empty()) {
        userLogPath = localAppData;
        if (userLogPath.back() != '\\') {
            userLogPath += '\\';
        }
        userLogPath += "Vantrel\\Log.txt";
    }
    return {'\\',
            "c:\\Log.txt",
            {"notepad", {"c:\\Log.txt"}, WindowStyle::Minimized},
            {"explorer.exe", {"/e,", "C:\\"}, WindowStyle::Normal},
            userLogPath};
}

Conventions Conventions::posix(const std::string& logFolder) {
    std::string logPath = logFolder;
    if (logPath.empty() || logPath.back() != '/') {
        logPath += '/';
    }
    logPath += "Log.txt";
    return {'/',
            logPath,
            {"xdg-open", {logPath}, WindowStyle::Minimized},
            {"xdg-open", {"/"}, WindowStyle::Normal}};
}

std::string Conventions::posixLogFolder(const std::string& stateHome, const std::string& home) {
    std::string folder = stateHome;
    if (folder.empty() || folder.front() != '/') {
        folder = home;
        if (folder.empty() || folder.back() != '/') {
            folder += '/';
        }
        folder += ".local/state";
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder + "vantrel";
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
    const char* stateHome = std::getenv("XDG_STATE_HOME");
    return posix(posixLogFolder(stateHome != nullptr ? stateHome : "", home));
#endif
}

}  // namespace vantrel
