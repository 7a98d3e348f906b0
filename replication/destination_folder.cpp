#include "replication/destination_folder.h"

#include <vector>

namespace vantrel {

namespace {

std::vector<std::string> splitAll(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        const auto pos = text.find(separator, start);
        parts.push_back(text.substr(start, pos - start));
        if (pos == std::string::npos) {
            return parts;
        }
        start = pos + 1;
    }
}

bool onlySeparators(const std::string& prefix, char separator) {
    return prefix.find_first_not_of(separator) == std::string::npos;
}

void report(Services& services, const std::string& what, const Failure& failure) {
    services.messageBox.show(what + kCrLf + failure.reason(), Buttons::Ok);
}

}  // namespace

std::optional<LevelFailure> makeMissingLevels(const std::string& path, FileSystem& fs,
                                              char separator) {
    std::string prefix;
    for (const auto& part : splitAll(path, separator)) {
        prefix += part;
        prefix += separator;
        // The root of a POSIX path or of a network path names no folder to make.
        if (onlySeparators(prefix, separator)) {
            continue;
        }
        try {
            if (!fs.exists(prefix, Attributes::Directory)) {
                fs.makeDir(prefix);
            }
        } catch (const Failure& failure) {
            return LevelFailure{prefix, failure};
        }
    }
    return std::nullopt;
}

bool prepareDestination(const std::string& destination, Services& services) {
    FileSystem& fs = services.fileSystem;
    try {
        if (fs.exists(destination, Attributes::Directory)) {
            return true;
        }
    } catch (const Failure& failure) {
        report(services, "Could not check " + destination + ".", failure);
        return false;
    }
    const std::string prompt =
        "The folder " + destination + " doesn't exist." + kCrLf + "Create the folder ?";
    if (services.messageBox.show(prompt, Buttons::YesNo) != Answer::Yes) {
        return false;
    }
    const auto failed = makeMissingLevels(destination, fs, services.conventions.separator);
    if (failed) {
        report(services, "Could not create the folder " + failed->folder + ".", failed->failure);
        return false;
    }
    return true;
}

}  // namespace vantrel
