#include "platform/conventions.h"

#include <cstdlib>

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
    return posix(home != nullptr && *home != '\0' ? home : "/tmp");
#endif
}

}  // namespace vantrel
