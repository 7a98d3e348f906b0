#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/file_system.h"
#include "platform/fs/posix_ways.h"

namespace vantrel {

// The machine's own file system. Copies and the log go through a temporary file in the target's
// folder that takes the target's name only once it is complete: POSIX in
// real_file_system_posix.cpp, Win32 in real_file_system_win32.cpp.
class RealFileSystem : public FileSystem {
  public:
    // Ways into the program's paths for tests.
    struct Options {
        // Called just before a finished file takes its target's name.
        std::function<void(const std::string& target)> beforePublish;
        // The Linux ways a test closes (posix_ways.h); all open when null. Windows has one.
        std::shared_ptr<const PosixWays> ways;
        // Names the file system of a copy's folder in place of the system (size_limit.h).
        std::function<std::string(const std::string& folder)> fileSystemName;
        // Windows: tells in place of the system whether a folder takes new files but refuses
        // their owner the reading or renaming of them (an upload-only share).
        std::function<bool(const std::string& folder)> uploadOnly;
    };

    RealFileSystem() = default;
    explicit RealFileSystem(Options options) : options_(std::move(options)) {}

    bool exists(const std::string& path, Attributes attributes) override;
    void makeDir(const std::string& path) override;
    using FileSystem::copyFile;
    std::optional<FileIdentity> identify(const std::string& path) override;
    void copyFile(const std::string& source, const std::string& target, CopyTo mode,
                  const CopyProgress& progress, const std::optional<FileIdentity>& asked,
                  std::stop_token stop) override;
    void writeText(const std::string& path, const std::string& text) override;
    std::unique_ptr<AppendedFile> openAppended(const std::string& path) override;
    void removeLeftovers(const std::string& folder) override;

  private:
#ifdef _WIN32
    // Removes the temporary files that killed copies left in the folder, at its first copy.
    void cleanFolderOnce(const std::string& folder);

    // Folders that refuse their owner the reading or renaming of a temporary (upload-only
    // shares), where new copies are written at their own name.
    std::set<std::string> writtenInPlace_;
#else
    void cleanFolderOnce(const std::string& folderPath, int folder);
    // The ways the folder's file system has shown it offers, of those the options leave open.
    PosixWays& waysFor(const std::string& folder);
    // Calls beforePublish with the target the first time it is called.
    std::function<void()> announcer(const std::string& target, bool& announced) const;

    std::map<std::string, PosixWays> folderWays_;
#endif

    Options options_;
    std::set<std::string> cleanedFolders_;
};

}  // namespace vantrel
