#pragma once

#include <string>

#include "platform/launcher.h"

namespace vantrel {

// What differs between Windows and the other systems, chosen once at start-up.
struct Conventions {
    char separator;
    std::string logPath;
    LaunchCommand openLog;
    LaunchCommand fileSearch;

    static Conventions windows();
    static Conventions posix(const std::string& home);
    // The flavour of the system the program was built for.
    static Conventions current();
};

}  // namespace vantrel
