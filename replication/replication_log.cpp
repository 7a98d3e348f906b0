#include "replication/replication_log.h"

#include "platform/failure.h"
#include "replication/destination_folder.h"

namespace vantrel {

const std::string& ReplicationLog::path() const {
    return atUserLog_ ? services_.conventions.userLogPath : services_.conventions.logPath;
}

void ReplicationLog::makeFolder() {
    const std::string& path = this->path();
    const char separator = services_.conventions.separator;
    const auto cut = path.rfind(separator);
    if (cut == std::string::npos || cut == 0) {
        return;
    }
    const std::string folder = path.substr(0, cut);
    FileSystem& fs = services_.fileSystem;
    if (!fs.exists(folder, Attributes::Directory)) {
        if (const auto failed = makeMissingLevels(folder, fs, separator)) {
            throw failed->failure;
        }
    }
}

// A name may hold CR or LF on Linux: each shows as U+FFFD, the mark of a character that cannot
// be shown, so that every line of the log is one copy's name.
void ReplicationLog::append(const std::string& copyName) {
    for (const char c : copyName) {
        if (c == '\r' || c == '\n') {
            text_ += "\xEF\xBF\xBD";
        } else {
            text_ += c;
        }
    }
    text_ += kCrLf;
}

void ReplicationLog::write() {
    try {
        if (!addNames()) {
            file_.reset();
            writeWhole();
        }
        written_ = text_.size();
        behind_ = false;
    } catch (const Failure& failure) {
        // Until a write succeeds the file may lack names, or still hold the previous run's.
        behind_ = true;
        if (!failureReported_) {
            failureReported_ = true;
            services_.messageBox.show(
                "Could not write the log file " + path() + "." + kCrLf + failure.reason(),
                Buttons::Ok);
        }
    }
}

void ReplicationLog::writeWhole() {
    const Conventions& conventions = services_.conventions;
    if (!atUserLog_) {
        try {
            makeFolder();
            services_.fileSystem.writeText(conventions.logPath, text_);
            return;
        } catch (const Failure& failure) {
            if (failure.number() != kPermissionDenied || conventions.userLogPath.empty()) {
                throw;
            }
        }
        atUserLog_ = true;
    }
    makeFolder();
    services_.fileSystem.writeText(conventions.userLogPath, text_);
}

bool ReplicationLog::addNames() {
    if (!written_) {
        return false;
    }
    if (*written_ == text_.size()) {
        return true;
    }
    if (!file_) {
        file_ = services_.fileSystem.openAppended(path());
    }
    return file_ && file_->append(std::string_view(text_).substr(*written_), *written_);
}

void ReplicationLog::writeIfBehind() {
    if (behind_ || text_.size() > written_.value_or(0)) {
        write();
    }
}

void LogBtn_Click(TextBoxArray& Text1, Services& services) {
    if (Text1.count() == 1) {
        services.messageBox.show(
            std::string("There are no copied files.") + kCrLf + "Log not created.", Buttons::Ok);
        return;
    }
    const Conventions& conventions = services.conventions;
    LaunchCommand command = conventions.openLog;
    if (!conventions.userLogPath.empty() &&
        !services.fileSystem.openAppended(conventions.logPath) &&
        services.fileSystem.exists(conventions.userLogPath, Attributes::File)) {
        command.arguments.back() = conventions.userLogPath;
    }
    launchOrReport(command, services);
}

}  // namespace vantrel
