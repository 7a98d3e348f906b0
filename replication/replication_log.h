#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/controls.h"
#include "platform/services.h"

namespace vantrel {

// The names of one run's copies, and the log file that holds them.
class ReplicationLog {
  public:
    explicit ReplicationLog(Services& services) : services_(services) {}

    // Adds the name as a line of its own, a CR or LF in it shown as U+FFFD.
    void append(const std::string& copyName);
    // Brings the log file up to every name so far: the run's first write replaces the previous
    // run's file, later ones add the names since. A failure is reported once per run. Each run
    // writes the log at its usual place; where the system denies it, at the user's own.
    void write();
    // Writes only if the file lacks names appended since, or a row end's write failed.
    void writeIfBehind();

  private:
    // Adds the names since the last write to the file this run has replaced; false when it
    // must be written in full.
    bool addNames();
    // Replaces the file with the whole text, at the usual place unless the run was denied it.
    void writeWhole();
    // Makes the log's folder, and any missing folder above it.
    void makeFolder();
    const std::string& path() const;

    Services& services_;
    std::string text_;
    // How much of the text the file holds, once this run has replaced it.
    std::optional<std::size_t> written_;
    // That file, kept open from its first addition to the end of the run.
    std::unique_ptr<AppendedFile> file_;
    bool behind_ = false;
    bool failureReported_ = false;
    // The system denied this run the usual place: the log is the user's own.
    bool atUserLog_ = false;
};

// Opens the log file in the system's text viewer, or says that there is nothing to show. The
// file is the one this user's runs write: the usual one when it is there and this user may
// write it, else the user's own when that is there, else the usual one.
void LogBtn_Click(TextBoxArray& Text1, Services& services);

}  // namespace vantrel
