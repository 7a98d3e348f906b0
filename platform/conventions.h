#pragma once

#include <string>

#include "platform/launcher.h"

namespace vantrel {

// What differs between Windows and the other systems, chosen once at start-up.
struct Conventions {
    char separator;
    std::string logPath;
    // Opens the log; its last argument is the log's path.
    LaunchCommand openLog;
    LaunchCommand fileSearch;
    // Where the log goes when the system denies this user `logPath`: a place of the user's
    // own. Empty where there is no such place.
    std::string userLogPath = {};

    // The per-user log is Log.txt in a Vantrel folder of `localAppData` (the user's
    // %LOCALAPPDATA%); none when that is empty.
    static Conventions windows(const std::string& localAppData = {});
    // The log file is Log.txt in `logFolder`.
    static Conventions posix(const std::string& logFolder);
    // The log's folder on Linux and the like: $XDG_STATE_HOME/vantrel, or
    // ~/.local/state/vantrel where that variable is unset, empty or not an absolute path.
    static std::string posixLogFolder(const std::string& stateHome, const std::string& home);
    // The flavour of the system the program was built for.
    static Conventions current();
};

}  // namespace vantrel
